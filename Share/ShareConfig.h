// ShareConfig: what the share kit needs to know about each provider, read
// from "sharing.json" in the documents directory. Keys and secrets are the
// user's (or the installer's), registered with each provider; none is in the
// program.
//
//   {
//     "sina":     {"consumer_key": "...", "consumer_secret": "...",
//                  "api": "https://api.t.sina.com.cn/"},
//     "twitter":  {"consumer_key": "...", "consumer_secret": "...",
//                  "api": "https://api.twitter.com/",
//                  "twitpic_key": "...", "twitpic_api": "https://api.twitpic.com/"},
//     "facebook": {"app_id": "...", "dialog": "https://www.facebook.com/dialog/oauth",
//                  "graph": "https://graph.facebook.com/"},
//     "callback": "Vantrel://handleOAuthLogin",
//     "timeout_seconds": 30
//   }
//
// Every address may be left out: it defaults to the provider's public one
// (Douban, Tencent and NetEase have none). "callback" is where the browser
// returns after a login: the program's URL scheme, or the editor's own
// http address ending in "/handleOAuthLogin". "timeout_seconds" (1 to 300)
// bounds each request.
//
// A provider whose keys are missing, or whose addresses are not https (plain
// http is allowed for loopback hosts only), is "not set up": setupProblem
// says so in words, and no login is attempted. A file that can't be read
// (larger than kMaxShareConfigBytes, not JSON, a value of the wrong kind)
// leaves every provider not set up, with the reason.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

#include "Share/ShareProviders.h"

namespace vantrel {

inline constexpr char kShareConfigFileName[] = "sharing.json";
inline constexpr std::size_t kMaxShareConfigBytes = 64 * 1024;
inline constexpr char kDefaultShareCallback[] = "Vantrel://handleOAuthLogin";

struct ShareProviderConfig {
    std::string consumerKey;
    std::string consumerSecret;
    std::string api;         // the base of the provider's paths, ending in "/"
    std::string twitpicKey;  // Twitter only
    std::string twitpicApi;
    std::string appId;  // Facebook only
    std::string dialog;
    std::string graph;
};

struct ShareConfig {
    std::array<ShareProviderConfig, kShareProviderCount> providers;
    std::string callback = kDefaultShareCallback;
    std::chrono::milliseconds timeout{30'000};
    std::string file;     // where it was read from, for messages
    std::string problem;  // why the file could not be read; empty when it could

    // The public addresses, no keys.
    static ShareConfig defaults();
    // The configuration in `file`; a missing file gives the defaults.
    static ShareConfig load(const std::string& file);
    // The configuration in the documents directory.
    static ShareConfig loadFromDocuments();

    const ShareProviderConfig& provider(int code) const;
    // Empty when the provider can be used; otherwise why not, in words.
    std::string setupProblem(int code) const;
};

}  // namespace vantrel
