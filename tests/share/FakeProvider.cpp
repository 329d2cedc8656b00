#include "share/FakeProvider.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "Core/global/TiLog.h"
#include "commands/Json.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "support/ChildProcess.h"

namespace vantrel::test {
namespace {

// The port the fake prints once it listens; 0 when it does not in time.
int ReadPort(int fd) {
    std::string line;
    char c;
    while (line.size() < 16) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 15'000) <= 0 || ::read(fd, &c, 1) != 1) return 0;
        if (c == '\n') return std::atoi(line.c_str());
        line += c;
    }
    return 0;
}

const Dictionary* DictionaryAt(const Dictionary& record, std::string_view key) {
    const Value* value = record.find(key);
    return value ? value->dictionary() : nullptr;
}

std::string TextAt(const Dictionary& dictionary, std::string_view key) {
    const Value* value = dictionary.find(key);
    return value ? value->stringValue() : "";
}

std::mutex g_logMutex;
std::vector<std::string> g_log;

void KeepLogLine(const char* line) {
    std::lock_guard lock(g_logMutex);
    g_log.emplace_back(line);
}

}  // namespace

std::string FakeRecord::header(std::string_view name) const {
    return TextAt(headers, name);
}

std::string FakeRecord::field(std::string_view name) const {
    return TextAt(fields, name);
}

FakeProvider::FakeProvider() {
    std::filesystem::create_directory(m_folder.File("record"));
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return;
    m_pid = SpawnProgram({VANTREL_PYTHON, SourcePath("tests/share/fake_provider.py"), "--record",
                          m_folder.File("record"), "--lifetime", "300"},
                         pipe[1]);
    ::close(pipe[1]);
    m_port = m_pid > 0 ? ReadPort(pipe[0]) : 0;
    ::close(pipe[0]);
    EXPECT_NE(m_port, 0) << "the fake provider did not start (" VANTREL_PYTHON
                            " with python3-oauthlib is needed)";
}

FakeProvider::~FakeProvider() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

std::string FakeProvider::base(std::string_view mode) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + std::string(mode) + "/";
}

ShareConfig FakeProvider::config(std::string_view mode, std::chrono::milliseconds timeout) const {
    ShareConfig config = ShareConfig::defaults();
    config.file = m_folder.File("sharing.json");
    config.timeout = timeout;
    const std::string at = base(mode);
    config.providers[kShareSina] = {kSinaKey, kSinaSecret, at + "sina/", "", "", "", "", ""};
    config.providers[kShareTwitter] = {
        kTwitterKey, kTwitterSecret, at + "twitter/", kTwitpicKey, at + "twitpic/", "", "", ""};
    config.providers[kShareFacebook] = {
        "", "", "", "", "", kFacebookAppId, at + "facebook/dialog/oauth", at + "facebook/graph/"};
    return config;
}

std::vector<FakeRecord> FakeProvider::records() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.File("record"))) {
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem());
    }
    std::sort(names.begin(), names.end());
    std::vector<FakeRecord> records;
    for (const std::string& name : names) {
        const std::optional<Dictionary> record =
            dictionaryWithJSONString(TextOf(m_folder.File("record/" + name + ".json")));
        if (!record) continue;
        FakeRecord entry;
        entry.path = TextAt(*record, "path");
        if (const Dictionary* headers = DictionaryAt(*record, "headers")) entry.headers = *headers;
        if (const Dictionary* fields = DictionaryAt(*record, "fields")) entry.fields = *fields;
        if (const Value* verified = record->find("verified"); verified && verified->boolean())
            entry.verified = *verified->boolean();
        entry.body = ReadWholeFile(m_folder.File("record/" + name + ".body"), 64 << 20).value();
        records.push_back(std::move(entry));
    }
    return records;
}

std::string FollowInBrowser(const std::string& url) {
    HttpLimits limits;
    limits.maxRedirects = 0;  // the redirect leads to the program's own scheme
    HttpRequest request;
    request.url = url;
    const Result<HttpResponse> response = PerformHttpRequest(request, limits);
    EXPECT_TRUE(response.ok()) << response.error();
    return response ? response.value().header("Location") : "";
}

void ShareFlow::SetUp() {
    m_firstRecord = s_fake->requestCount();
    m_secrets = {kSinaSecret, kTwitterSecret, kTwitpicKey};
    std::lock_guard lock(g_logMutex);
    g_log.clear();
    TiSetLogSink(&KeepLogLine);
}

void ShareFlow::TearDown() {
    drainMainQueue();
    TiSetLogSink(nullptr);
    std::lock_guard lock(g_logMutex);
    for (const std::string& line : g_log) {
        for (const std::string& secret : m_secrets)
            EXPECT_EQ(line.find(secret), std::string::npos) << "a secret in the log: " << line;
    }
}

std::size_t ShareFlow::loggedLines() {
    std::lock_guard lock(g_logMutex);
    return g_log.size();
}

std::unique_ptr<WBShareKit> ShareFlow::makeKit(std::string_view mode,
                                               std::chrono::milliseconds timeout) {
    auto kit = std::make_unique<WBShareKit>(s_fake->config(mode, timeout), m_store);
    kit->setDelegate(&m_delegate);
    return kit;
}

std::string ShareFlow::openedUrl() const {
    const std::vector<std::string> shown = m_ui.shown();
    for (auto call = shown.rbegin(); call != shown.rend(); ++call) {
        if (call->rfind("openURL(", 0) == 0) return call->substr(8, call->size() - 9);
    }
    return "";
}

void ShareFlow::loginThroughBrowser(WBShareKit& kit, int code) {
    const std::size_t reports = m_delegate.reports.size();
    kit.login(code);
    ASSERT_TRUE(waitUntil([&] { return !openedUrl().empty(); })) << "no page was opened";
    const std::string callback = FollowInBrowser(openedUrl());
    ASSERT_FALSE(callback.empty());
    const std::string forged =
        code == kShareFacebook ? "Vantrel://handleOAuthLogin#access_token=x&state=forged"
                               : "Vantrel://handleOAuthLogin?oauth_token=other&oauth_verifier=1";
    EXPECT_FALSE(kit.handleOpenURL(forged));
    EXPECT_TRUE(kit.handleOpenURL(callback)) << callback;
    ASSERT_TRUE(waitUntil([&] { return m_delegate.reports.size() > reports; }));
    const std::string body = m_store.stringForKey(ShareProviderFor(code)->tokenKey).value_or("");
    if (const auto token = OAuthToken::fromResponseBody(body)) {
        m_secrets.push_back(token->key);
        m_secrets.push_back(token->secret);
    } else if (!body.empty()) {
        m_secrets.push_back(body);  // Facebook's access token
    }
}

void ShareFlow::post(WBShareKit& kit, int code, const std::string& text, const Picture& photo) {
    const std::size_t reports = m_delegate.reports.size();
    if (code == kShareSina) kit.sendSinaPhotoWithStatus(text, 0, 0, photo);
    if (code == kShareTwitter) kit.sendPhotoToTwitterWithStatus(text, 0, 0, photo);
    if (code == kShareFacebook) kit.sendPhotoToFacebookWithStatus(text, 0, 0, photo);
    EXPECT_TRUE(waitUntil([&] { return m_delegate.reports.size() > reports; }));
}

std::vector<FakeRecord> ShareFlow::newRecords() const {
    std::vector<FakeRecord> records = s_fake->records();
    records.erase(records.begin(), records.begin() + static_cast<long>(m_firstRecord));
    return records;
}

}  // namespace vantrel::test
