#include "Share/OAuth/OAuthRequest.h"

#include <ctime>

#include "Core/global/TiAssert.h"
#include "platform/SecureRandom.h"

namespace vantrel {
namespace {

constexpr const char* kTiSourceFile = "Share/OAuth/OAuthRequest";

bool SendsParametersInQuery(const std::string& method) {
    return method == "GET" || method == "DELETE" || method == "HEAD";
}

std::string Item(std::string_view name, std::string_view value) {
    return std::string(name) + "=\"" + OAuthPercentEncode(value) + "\"";
}

}  // namespace

std::optional<OAuthToken> OAuthToken::fromResponseBody(std::string_view body) {
    const std::string* key = nullptr;
    const std::string* secret = nullptr;
    const OAuthParameters parameters = ParseFormText(body);
    for (const auto& [name, value] : parameters) {
        if (name == "oauth_token" && !key) key = &value;
        if (name == "oauth_token_secret" && !secret) secret = &value;
    }
    if (!key || key->empty() || !secret) return std::nullopt;
    return OAuthToken{*key, *secret};
}

OAuthRequest::OAuthRequest(std::string_view url, OAuthConsumer consumer,
                           std::optional<OAuthToken> token, std::string realm,
                           OAuthSignatureMethod signatureMethod)
    : m_url(EscapePlusSigns(url)),
      m_consumer(std::move(consumer)),
      m_token(std::move(token)),
      m_realm(std::move(realm)),
      m_signatureMethod(signatureMethod) {
    if (m_token && m_token->key.empty()) m_token.reset();
}

std::string OAuthRequest::url() const {
    if (!SendsParametersInQuery(m_method) || m_parameters.empty()) return m_url;
    const bool hasQuery = m_url.find('?') != std::string::npos;
    return m_url + (hasQuery ? "&" : "?") + FormText(m_parameters);
}

void OAuthRequest::setOAuthParameterName(std::string_view parameterName,
                                         std::string_view parameterValue) {
    TI_ASSERT(!parameterName.empty() && !parameterValue.empty(), "parameterName && parameterValue",
              __LINE__);
    m_extraParameters[std::string(parameterName)] = std::string(parameterValue);
}

void OAuthRequest::setNonceAndTimestamp(std::string nonce, std::string timestamp) {
    m_nonce = std::move(nonce);
    m_timestamp = std::move(timestamp);
}

OAuthParameters OAuthRequest::signedParameters() const {
    OAuthParameters parameters = {
        {"oauth_consumer_key", m_consumer.key},
        {"oauth_signature_method", std::string(OAuthSignatureMethodName(m_signatureMethod))},
        {"oauth_timestamp", m_timestamp},
        {"oauth_nonce", m_nonce},
        {"oauth_version", "1.0"},
    };
    if (m_token) parameters.emplace_back("oauth_token", m_token->key);
    if (!m_verifier.empty()) parameters.emplace_back("oauth_verifier", m_verifier);
    for (const auto& [name, value] : m_extraParameters) parameters.emplace_back(name, value);
    const std::string query = SplitUrl(m_url).query;
    for (auto& parameter : ParseFormText(query)) parameters.push_back(std::move(parameter));
    for (const auto& parameter : m_parameters) parameters.push_back(parameter);
    return parameters;
}

std::string OAuthRequest::signatureBaseString() const {
    return SignatureBaseString(m_method, m_url, signedParameters());
}

Result<Done> OAuthRequest::prepare() {
    if (m_nonce.empty()) {
        const Result<std::string> nonce = RandomHexText(16);
        if (!nonce) return Result<Done>::Failure(nonce.error());
        m_nonce = nonce.value();
        m_timestamp = std::to_string(static_cast<long long>(std::time(nullptr)));
    }
    const std::string key = SignatureKey(m_consumer.secret, m_token ? m_token->secret : "");
    m_signature = SignText(m_signatureMethod, signatureBaseString(), key);
    return Result<Done>::Success(Done{});
}

std::string OAuthRequest::authorizationHeader() const {
    // The realm is the program's own text, written as it is (as OAuth's
    // examples write it); every other value is encoded.
    std::string header =
        "OAuth realm=\"" + m_realm + "\", " + Item("oauth_consumer_key", m_consumer.key) + ", ";
    if (m_token) header += Item("oauth_token", m_token->key) + ", ";
    header += Item("oauth_signature_method", OAuthSignatureMethodName(m_signatureMethod)) + ", " +
              Item("oauth_signature", m_signature) + ", " + Item("oauth_timestamp", m_timestamp) +
              ", " + Item("oauth_nonce", m_nonce) + ", " + Item("oauth_version", "1.0");
    for (const auto& [name, value] : m_extraParameters) header += ", " + Item(name, value);
    if (!m_verifier.empty()) header += ", " + Item("oauth_verifier", m_verifier);
    return header;
}

HttpRequest OAuthRequest::toHttpRequest() const {
    HttpRequest request;
    request.method = m_method;
    request.url = url();
    request.headers.push_back({"Authorization", authorizationHeader()});
    if (!SendsParametersInQuery(m_method) && !m_parameters.empty()) {
        const std::string body = FormText(m_parameters);
        request.body.assign(body.begin(), body.end());
        request.headers.push_back({"Content-Type", "application/x-www-form-urlencoded"});
    }
    return request;
}

}  // namespace vantrel
