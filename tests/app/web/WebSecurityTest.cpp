#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/web/EventStream.h"
#include "app/web/WebSecurity.h"
#include "support/TestPictures.h"

namespace vantrel::web {
namespace {

namespace fs = std::filesystem;

struct AccessCase {
    const char* what;
    bool lan;
    RequestFacts facts;
    Verdict verdict;
};

TEST(WebSecurity, RequestsNeedTheRightHostTokenAndOriginAndPathsStayInsideTheFrontEnd) {
    const std::string token(64, 'a');
    const std::string cookie = std::string(kTokenCookie) + "=" + token;
    const std::string wrongCookie = std::string(kTokenCookie) + "=" + std::string(64, 'b');
    const char *local = "127.0.0.1:8686", *lan = "192.168.1.5:8686", *evil = "http://evil.example";
    const char* own = "http://127.0.0.1:8686";
    using enum Verdict;
    const AccessCase cases[] = {
        {"local page", false, {"GET", local, "", "", "", ""}, Allow},
        {"localhost", false, {"GET", "localhost:8686", "", "", "", ""}, Allow},
        {"rebound name", false, {"GET", "evil.example:8686", "", "", "", ""}, WrongHost},
        {"other port", false, {"GET", "127.0.0.1:9999", "", "", "", ""}, WrongHost},
        {"own origin", false, {"POST", local, own, "same-origin", "", ""}, Allow},
        {"foreign origin", false, {"POST", local, evil, "", "", ""}, ForeignOrigin},
        {"cross-site fetch", false, {"POST", local, "", "cross-site", "", ""}, ForeignOrigin},
        {"lan without token", true, {"GET", lan, "", "", "", ""}, NoToken},
        {"lan wrong cookie", true, {"GET", lan, "", "", wrongCookie, ""}, NoToken},
        {"lan token link", true, {"GET", lan, "", "", "", token}, Allow},
        {"lan cookie", true, {"GET", lan, "", "", cookie, ""}, Allow},
        {"lan foreign post", true, {"POST", lan, evil, "", cookie, ""}, ForeignOrigin},
    };
    for (const AccessCase& c : cases) {
        AccessPolicy policy{c.lan, c.lan ? token : "", !c.lan, 8686};
        EXPECT_EQ(CheckRequest(policy, c.facts), c.verdict) << c.what;
    }
    // Static paths stay inside the front end.
    const test::ScratchFolder scratch;
    const fs::path base = scratch.path();
    const fs::path root = base / "web";
    fs::create_directories(root / "assets");
    std::ofstream(root / "index.html") << "<!doctype html>";
    std::ofstream(root / "assets" / "app.js") << "1";
    std::ofstream(base / "secret.txt") << "secret";
    fs::create_symlink(base / "secret.txt", root / "assets" / "link.js");

    EXPECT_EQ(ResolveStaticPath(root, "/"), fs::canonical(root / "index.html"));
    EXPECT_EQ(ResolveStaticPath(root, "/assets/app.js"), fs::canonical(root / "assets/app.js"));
    for (const char* refused : {"/../secret.txt", "/assets/../../secret.txt", "/assets/link.js",
                                "/.hidden", "/assets\\app.js", "/missing.js", "/assets"}) {
        EXPECT_FALSE(ResolveStaticPath(root, refused)) << refused;
    }
    EXPECT_FALSE(ResolveStaticPath(root, std::string_view("/index.html\0x", 13)));
}
TEST(WebSecurity, UploadsAreRefusedBeforeTheirPixelsAreTakenAndNamedPlainly) {
    const std::vector<unsigned char> text = {'<', 'h', 't', 'm', 'l', '>'};
    EXPECT_FALSE(DecodeUpload(text));
    EXPECT_FALSE(DecodeUpload({}));
    // A well-formed PNG claiming 60000 x 60000 pixels, with one row of data.
    const Result<Picture> refused =
        DecodeUpload(test::PngFile(60000, 60000, 8, 2, std::vector<unsigned char>(60000 * 3)));
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("60000"), std::string::npos) << refused.error();
    EXPECT_FALSE(DecodeUpload(text, 4));
    // Their names keep only plain letters.
    EXPECT_EQ(UploadFileName("../../etc/passwd", true), "passwd.jpg");
    EXPECT_EQ(UploadFileName("My Photo (1).PNG", false), "MyPhoto1.png");
    EXPECT_EQ(UploadFileName("...", true), "upload.jpg");
    EXPECT_EQ(UploadFileName(std::string(200, 'x'), false), std::string(48, 'x') + ".png");
}

TEST(EventStream, ASlowReaderHoldsOnlyTheNewestStateAndBoundedNotices) {
    EventStream stream;
    auto reader = stream.subscribe();
    for (int i = 0; i < 100; ++i) {
        stream.publishState("{\"n\":" + std::to_string(i) + "}");
        stream.publishNotice("{\"kind\":\"tip\"}");
    }
    std::vector<std::string> messages;
    while (auto message = stream.next(*reader, std::chrono::milliseconds(0))) {
        if (message->starts_with(":")) break;  // nothing left: a keep-alive
        messages.push_back(*message);
    }
    ASSERT_FALSE(messages.empty());
    EXPECT_LE(messages.size(), 1 + EventStream::kMaxPendingNotices);
    int states = 0;
    for (const std::string& m : messages) {
        if (m.starts_with("event: state")) {
            ++states;
            EXPECT_NE(m.find("{\"n\":99}"), std::string::npos);
        }
    }
    EXPECT_EQ(states, 1);
    stream.close();
    EXPECT_FALSE(stream.next(*reader, std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace vantrel::web
