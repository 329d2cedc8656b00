#include "Share/OAuth/OAuthSignature.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>

namespace vantrel {
namespace {

std::string Base64(const unsigned char* bytes, std::size_t count) {
    std::string text(4 * ((count + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes,
                                        static_cast<int>(count));
    text.resize(static_cast<std::size_t>(std::max(written, 0)));
    return text;
}

std::string HmacSha1Base64(std::string_view key, std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest, &length)) {
        return {};  // an empty signature, which every provider refuses
    }
    return Base64(digest, length);
}

}  // namespace

std::string_view OAuthSignatureMethodName(OAuthSignatureMethod method) {
    return method == OAuthSignatureMethod::HmacSha1 ? "HMAC-SHA1" : "PLAINTEXT";
}

std::string NormalizedParameters(const OAuthParameters& parameters) {
    OAuthParameters encoded;
    encoded.reserve(parameters.size());
    for (const auto& [name, value] : parameters) {
        encoded.emplace_back(OAuthPercentEncode(name), OAuthPercentEncode(value));
    }
    std::sort(encoded.begin(), encoded.end());
    std::string text;
    for (const auto& [name, value] : encoded) {
        if (!text.empty()) text += '&';
        text += name + "=" + value;
    }
    return text;
}

std::string SignatureBaseString(std::string_view method, std::string_view url,
                                const OAuthParameters& parameters) {
    std::string upper(method);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper + "&" + OAuthPercentEncode(NormalizedUrl(url)) + "&" +
           OAuthPercentEncode(NormalizedParameters(parameters));
}

std::string SignatureKey(std::string_view consumerSecret, std::string_view tokenSecret) {
    return OAuthPercentEncode(consumerSecret) + "&" + OAuthPercentEncode(tokenSecret);
}

std::string SignText(OAuthSignatureMethod method, std::string_view baseString,
                     std::string_view key) {
    if (method == OAuthSignatureMethod::Plaintext) return std::string(key);
    return HmacSha1Base64(key, baseString);
}

}  // namespace vantrel
