#include "share/FakeProvider.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "commands/Json.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"

extern char** environ;

namespace vantrel::test {
namespace {

std::string KeysJson() {
    return std::string(R"({"sina": {"consumer_key": ")") + kSinaKey + R"(", "consumer_secret": ")" +
           kSinaSecret + R"("}, "twitter": {"consumer_key": ")" + kTwitterKey +
           R"(", "consumer_secret": ")" + kTwitterSecret + R"(", "twitpic_key": ")" + kTwitpicKey +
           R"("}, "facebook": {"app_id": ")" + kFacebookAppId + R"("}})";
}

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

}  // namespace

std::string FakeRecord::header(std::string_view name) const {
    return TextAt(headers, name);
}

std::string FakeRecord::field(std::string_view name) const {
    return TextAt(fields, name);
}

FakeProvider::FakeProvider() {
    const std::string keys = m_folder.File("keys.json");
    WriteText(keys, KeysJson());
    std::filesystem::create_directory(m_folder.File("record"));
    int pipe[2];
    if (::pipe(pipe) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    const std::string script = SourcePath("tests/share/fake_provider.py");
    const std::string record = m_folder.File("record");
    std::vector<std::string> args = {VANTREL_PYTHON, script, "--keys",     keys,
                                     "--record",     record, "--lifetime", "300"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, VANTREL_PYTHON, &actions, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
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
    config.providers[kShareSina] = {
        .consumerKey = kSinaKey, .consumerSecret = kSinaSecret, .api = at + "sina/"};
    config.providers[kShareTwitter] = {.consumerKey = kTwitterKey,
                                       .consumerSecret = kTwitterSecret,
                                       .api = at + "twitter/",
                                       .twitpicKey = kTwitpicKey,
                                       .twitpicApi = at + "twitpic/"};
    config.providers[kShareFacebook] = {.appId = kFacebookAppId,
                                        .dialog = at + "facebook/dialog/oauth",
                                        .graph = at + "facebook/graph/"};
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
        const auto json = ReadWholeFile(m_folder.File("record/" + name + ".json"), 1 << 20);
        const auto body = ReadWholeFile(m_folder.File("record/" + name + ".body"), 64 << 20);
        const std::optional<Dictionary> record =
            dictionaryWithJSONString(std::string(json.value().begin(), json.value().end()));
        if (!record) continue;
        FakeRecord entry;
        entry.method = TextAt(*record, "method");
        entry.path = TextAt(*record, "path");
        if (const Dictionary* headers = DictionaryAt(*record, "headers")) entry.headers = *headers;
        if (const Dictionary* fields = DictionaryAt(*record, "fields")) entry.fields = *fields;
        if (const Value* verified = record->find("verified"); verified && verified->boolean()) {
            entry.verified = *verified->boolean();
        }
        entry.body = body.value();
        records.push_back(std::move(entry));
    }
    return records;
}

std::size_t FakeProvider::requestCount() const {
    return records().size();
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

}  // namespace vantrel::test
