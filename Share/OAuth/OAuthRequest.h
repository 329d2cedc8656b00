// OAuthRequest: one HTTP request signed with OAuth 1.0.
//
// The signed parameters are "oauth_consumer_key", "oauth_signature_method",
// "oauth_timestamp" (seconds since 1970), "oauth_nonce" (32 hexadecimal
// digits from the cryptographic random source, fresh per request),
// "oauth_version" ("1.0"), "oauth_token" when a token is held,
// "oauth_verifier" when one is set, the extra OAuth parameters, the URL's
// query and, for a POST, the form parameters of its body.
//
// The signature travels in the "Authorization" header:
//   OAuth realm="R", oauth_consumer_key="K", oauth_token="T", ...
// in this order: realm, oauth_consumer_key, oauth_token (only with a token),
// oauth_signature_method, oauth_signature, oauth_timestamp, oauth_nonce,
// oauth_version, the extra parameters sorted by name, then oauth_verifier
// (only when set); items are separated by a comma and a blank and every
// value but the realm (the program's own text) is percent-encoded.
//
// A "+" in the URL is sent (and signed) as "%2B".
//
// Failure: prepare() fails only when the random source can't be read;
// setOAuthParameterName refuses an empty name or value with the assertion
// "parameterName && parameterValue" (a TiAssertionError).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "Share/OAuth/OAuthSignature.h"
#include "platform/HttpClient.h"
#include "platform/Result.h"

namespace vantrel {

struct OAuthConsumer {
    std::string key;
    std::string secret;
};

struct OAuthToken {
    std::string key;
    std::string secret;

    // The token of a token response's form-encoded body: its "oauth_token"
    // (not empty) and "oauth_token_secret"; nothing when either is missing.
    static std::optional<OAuthToken> fromResponseBody(std::string_view body);
};

class OAuthRequest {
public:
    OAuthRequest(std::string_view url, OAuthConsumer consumer,
                 std::optional<OAuthToken> token = std::nullopt, std::string realm = {},
                 OAuthSignatureMethod signatureMethod = OAuthSignatureMethod::HmacSha1);

    void setHTTPMethod(std::string method) { m_method = std::move(method); }
    const std::string& HTTPMethod() const { return m_method; }
    // The URL as sent ("+" escaped), with any GET parameters in its query.
    std::string url() const;

    // Request parameters: the query of a GET, the form body of a POST.
    void setParameters(OAuthParameters parameters) { m_parameters = std::move(parameters); }
    // An extra OAuth parameter ("oauth_callback"); neither part may be empty.
    void setOAuthParameterName(std::string_view parameterName, std::string_view parameterValue);
    void setVerifier(std::string verifier) { m_verifier = std::move(verifier); }
    // Fixed values instead of fresh ones, for published examples.
    void setNonceAndTimestamp(std::string nonce, std::string timestamp);

    // Signs the request: after it, signature() and authorizationHeader().
    Result<Done> prepare();

    std::string signatureBaseString() const;
    const std::string& signature() const { return m_signature; }
    std::string authorizationHeader() const;

    // The signed request for the HTTP client; a POST carries its form body.
    HttpRequest toHttpRequest() const;

private:
    OAuthParameters signedParameters() const;

    std::string m_url;  // "+" escaped
    std::string m_method = "GET";
    OAuthConsumer m_consumer;
    std::optional<OAuthToken> m_token;
    std::string m_realm;
    OAuthSignatureMethod m_signatureMethod;
    OAuthParameters m_parameters;
    std::map<std::string, std::string> m_extraParameters;  // sorted by name
    std::string m_verifier;
    std::string m_nonce;
    std::string m_timestamp;
    std::string m_signature;
};

}  // namespace vantrel
