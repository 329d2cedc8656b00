#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/web/EventStream.h"
#include "app/web/WebSecurity.h"

namespace vantrel::web {
namespace {

namespace fs = std::filesystem;

struct AccessCase {
    const char* what;
    bool lan;
    RequestFacts facts;
    Verdict verdict;
};

TEST(WebSecurity, RequestsPassOnlyWithTheRightHostTokenAndOrigin) {
    const std::string token(64, 'a');
    const std::string cookie = std::string(kTokenCookie) + "=" + token;
    const std::string wrongCookie = std::string(kTokenCookie) + "=" + std::string(64, 'b');
    const AccessCase cases[] = {
        {"local page", false, {"GET", "127.0.0.1:8686", "", "", "", ""}, Verdict::Allow},
        {"localhost", false, {"GET", "localhost:8686", "", "", "", ""}, Verdict::Allow},
        {"rebound name", false, {"GET", "evil.example:8686", "", "", "", ""}, Verdict::WrongHost},
        {"other port", false, {"GET", "127.0.0.1:9999", "", "", "", ""}, Verdict::WrongHost},
        {"own origin post",
         false,
         {"POST", "127.0.0.1:8686", "http://127.0.0.1:8686", "same-origin", "", ""},
         Verdict::Allow},
        {"foreign origin post",
         false,
         {"POST", "127.0.0.1:8686", "http://evil.example", "", "", ""},
         Verdict::ForeignOrigin},
        {"cross-site fetch",
         false,
         {"POST", "127.0.0.1:8686", "", "cross-site", "", ""},
         Verdict::ForeignOrigin},
        {"lan without token", true, {"GET", "192.168.1.5:8686", "", "", "", ""}, Verdict::NoToken},
        {"lan wrong cookie",
         true,
         {"GET", "192.168.1.5:8686", "", "", wrongCookie, ""},
         Verdict::NoToken},
        {"lan token link", true, {"GET", "192.168.1.5:8686", "", "", "", token}, Verdict::Allow},
        {"lan cookie", true, {"GET", "192.168.1.5:8686", "", "", cookie, ""}, Verdict::Allow},
        {"lan cookie, foreign post",
         true,
         {"POST", "192.168.1.5:8686", "http://evil.example", "", cookie, ""},
         Verdict::ForeignOrigin},
    };
    for (const AccessCase& c : cases) {
        AccessPolicy policy{c.lan, c.lan ? token : "", !c.lan, 8686};
        EXPECT_EQ(CheckRequest(policy, c.facts), c.verdict) << c.what;
    }
}

TEST(WebSecurity, StaticPathsStayInsideTheFrontEnd) {
    const fs::path base = fs::temp_directory_path() / ("vantrel-web-" + std::to_string(::getpid()));
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
    fs::remove_all(base);
}

// A PNG chunk: length, type, data and the CRC of type and data.
void AddChunk(std::vector<unsigned char>& png, const char* type,
              const std::vector<unsigned char>& data) {
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back((data.size() >> shift) & 0xff);
    png.insert(png.end(), body.begin(), body.end());
    const uLong crc = crc32(0, body.data(), body.size());
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back((crc >> shift) & 0xff);
}

TEST(WebSecurity, UploadsAreRefusedBeforeTheirPixelsAreTaken) {
    const std::vector<unsigned char> text = {'<', 'h', 't', 'm', 'l', '>'};
    EXPECT_FALSE(DecodeUpload(text));
    EXPECT_FALSE(DecodeUpload({}));
    // A well-formed PNG claiming 60000 x 60000 pixels, with a little data.
    std::vector<unsigned char> bomb = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    AddChunk(bomb, "IHDR", {0, 0, 0xea, 0x60, 0, 0, 0xea, 0x60, 8, 2, 0, 0, 0});
    std::vector<unsigned char> zeros(4096, 0);
    std::vector<unsigned char> packed(compressBound(zeros.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress(packed.data(), &packedSize, zeros.data(), zeros.size()), Z_OK);
    packed.resize(packedSize);
    AddChunk(bomb, "IDAT", packed);
    AddChunk(bomb, "IEND", {});
    const Result<Picture> refused = DecodeUpload(bomb);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("60000"), std::string::npos) << refused.error();
    EXPECT_FALSE(DecodeUpload(text, 4));
}

TEST(WebSecurity, UploadNamesKeepOnlyPlainLetters) {
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
