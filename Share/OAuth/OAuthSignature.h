// OAuth 1.0 signatures: the signature base string, the signature key and the
// "HMAC-SHA1" (OpenSSL's libcrypto) and "PLAINTEXT" methods.
#pragma once

#include <string>
#include <string_view>

#include "Share/OAuth/OAuthEncoding.h"

namespace vantrel {

enum class OAuthSignatureMethod { HmacSha1, Plaintext };

// "HMAC-SHA1" or "PLAINTEXT".
std::string_view OAuthSignatureMethodName(OAuthSignatureMethod method);

// The parameters, each name and value percent-encoded, sorted by encoded
// name and then by encoded value, joined as "name=value" with "&".
std::string NormalizedParameters(const OAuthParameters& parameters);

// "%@&%@&%@": the method in upper case, the encoded normalised URL and the
// encoded normalised parameters.
std::string SignatureBaseString(std::string_view method, std::string_view url,
                                const OAuthParameters& parameters);

// The encoded consumer secret and the encoded token secret joined by "&".
std::string SignatureKey(std::string_view consumerSecret, std::string_view tokenSecret);

// The signature text (before the header's encoding): the base64 of
// HMAC-SHA1(key, base string), or the key itself for PLAINTEXT.
std::string SignText(OAuthSignatureMethod method, std::string_view baseString,
                     std::string_view key);

}  // namespace vantrel
