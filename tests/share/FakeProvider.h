// The fake sharing providers of tests/share/fake_provider.py, started on
// 127.0.0.1 for a test suite and stopped with it (it also stops by itself
// after its lifetime or request count).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Share/ShareConfig.h"
#include "commands/Value.h"
#include "support/TestPictures.h"

namespace vantrel::test {

// Keys the fake knows: made-up values of the providers' shapes.
inline constexpr char kSinaKey[] = "1234567890";
inline constexpr char kSinaSecret[] = "sinaSecretKd94hf93k423kf44";
inline constexpr char kTwitterKey[] = "twitterConsumerKey0001";
inline constexpr char kTwitterSecret[] = "twitterSecretXyz7Fq2";
inline constexpr char kTwitpicKey[] = "0123456789abcdef0123456789abcdef";
inline constexpr char kFacebookAppId[] = "123456789012345";

// One request as the fake received it.
struct FakeRecord {
    std::string method;
    std::string path;
    Dictionary headers;
    std::optional<bool> verified;  // by oauthlib, where the request is signed
    Dictionary fields;             // the text fields of a multipart body
    std::vector<unsigned char> body;

    std::string header(std::string_view name) const;
    std::string field(std::string_view name) const;
};

class FakeProvider {
public:
    FakeProvider();
    ~FakeProvider();
    FakeProvider(const FakeProvider&) = delete;
    FakeProvider& operator=(const FakeProvider&) = delete;

    // "http://127.0.0.1:PORT/MODE/" ("ok", "hang", "error500", "malformed").
    std::string base(std::string_view mode) const;
    // Every provider with its keys, its addresses under `mode`.
    ShareConfig config(std::string_view mode = "ok",
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // The requests so far, in order.
    std::vector<FakeRecord> records() const;
    std::size_t requestCount() const;

private:
    ScratchFolder m_folder;
    pid_t m_pid = -1;
    int m_port = 0;
};

// What the user's browser does with the authorisation page the kit opened:
// the address the provider sends it back to (its redirect).
std::string FollowInBrowser(const std::string& url);

}  // namespace vantrel::test
