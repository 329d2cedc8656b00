// The providers of the share kit, one table: code, names, token key, the
// public address its requests go to by default, and the paths and rules of
// its OAuth 1.0 login.
//
// Codes: 0 Douban, 1 Sina Weibo, 2 Tencent Weibo, 3 Twitter, 4 Facebook,
// 5 NetEase Weibo. The share menu reaches 1, 3 and 4. Douban, Tencent and
// NetEase have no default address (their OAuth 1.0 services are gone), so
// they are set up only when sharing.json names one.
#pragma once

#include <array>

namespace vantrel {

inline constexpr int kShareDouban = 0;
inline constexpr int kShareSina = 1;
inline constexpr int kShareTencent = 2;
inline constexpr int kShareTwitter = 3;
inline constexpr int kShareFacebook = 4;
inline constexpr int kShareNetEase = 5;
inline constexpr int kShareProviderCount = 6;

// Where the access-token request takes its verifier from.
enum class VerifierRule {
    None,                  // no verifier is sent
    LastSixOfQuery,        // the last 6 characters of the callback's query
    OAuthVerifierOfQuery,  // the callback's "oauth_verifier" parameter
};

struct ShareProvider {
    int code;
    const char* configName;   // its section of sharing.json
    const char* displayName;  // in messages
    const char* tokenKey;     // in the user-defaults store
    const char* defaultApi;   // the base of its paths; empty: none
    const char* requestTokenPath;
    const char* authorizePath;
    const char* accessTokenPath;
    bool sendsCallback;  // "oauth_callback" with the request token
    VerifierRule verifier;
};

// Twitter's access-token exchange takes the callback's "oauth_verifier":
// OAuth 1.0a requires it, and Twitter refuses the exchange without it.
inline constexpr std::array<ShareProvider, kShareProviderCount> kShareProviders{{
    {kShareDouban, "douban", "Douban", "kToken_Douban", "", "service/auth/request_token",
     "service/auth/authorize", "service/auth/access_token", false, VerifierRule::None},
    {kShareSina, "sina", "Sina Weibo", "kToken_Sina", "https://api.t.sina.com.cn/",
     "oauth/request_token", "oauth/authorize", "oauth/access_token", true,
     VerifierRule::LastSixOfQuery},
    {kShareTencent, "tencent", "Tencent Weibo", "kToken_Tx", "", "cgi-bin/request_token",
     "cgi-bin/authorize", "cgi-bin/access_token", true, VerifierRule::LastSixOfQuery},
    {kShareTwitter, "twitter", "Twitter", "kToken_Twitter", "https://api.twitter.com/",
     "oauth/request_token", "oauth/authorize", "oauth/access_token", true,
     VerifierRule::OAuthVerifierOfQuery},
    {kShareFacebook, "facebook", "Facebook", "kToken_Facebook", "", "", "", "", false,
     VerifierRule::None},
    {kShareNetEase, "netease", "NetEase Weibo", "kToken_Wy", "", "oauth/request_token",
     "oauth/authenticate", "oauth/access_token", false, VerifierRule::None},
}};

// The provider of `code`, or null for a code outside 0..5.
inline const ShareProvider* ShareProviderFor(int code) {
    if (code < 0 || code >= kShareProviderCount) return nullptr;
    return &kShareProviders[static_cast<unsigned>(code)];
}

}  // namespace vantrel
