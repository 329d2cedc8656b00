#include "platform/RunningEditor.h"

#include <unistd.h>

#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/PropertyList.h"
#include "platform/SecureRandom.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxRecordBytes = 4096;
constexpr char kNoEditor[] = "No Vantrel editor is running: start it, then sign in again.";

}  // namespace

std::string RunningEditorFile() {
    return DocumentsDirectoryPath() + "/" + kRunningEditorFileName;
}

Result<RunningEditor> PublishRunningEditor(const std::string& file, std::string_view url) {
    using Outcome = Result<RunningEditor>;
    const Result<std::string> token = RandomHexText(32);
    if (!token) return Outcome::Failure(token.error());
    RunningEditor editor{std::string(url), token.value()};
    while (!editor.url.empty() && editor.url.back() == '/') editor.url.pop_back();
    PropertyList record;
    record.set("URL", editor.url);
    record.set("Token", editor.token);
    record.set("PID", static_cast<std::int64_t>(::getpid()));
    const auto bytes = WritePropertyList(record);
    if (!bytes) return Outcome::Failure(bytes.error());
    if (const Result<Done> written = WriteFileAtomically(file, bytes.value(), 0600); !written) {
        return Outcome::Failure(written.error());
    }
    return Outcome::Success(std::move(editor));
}

void WithdrawRunningEditor(const std::string& file, const RunningEditor& editor) {
    const Result<RunningEditor> current = FindRunningEditor(file);
    if (current && current.value().token == editor.token) ::unlink(file.c_str());
}

Result<RunningEditor> FindRunningEditor(const std::string& file) {
    using Outcome = Result<RunningEditor>;
    const auto bytes = ReadWholeFile(file, kMaxRecordBytes);
    if (!bytes) return Outcome::Failure(kNoEditor);
    const Result<PropertyList> record = ReadPropertyList(bytes.value());
    const std::string* url = nullptr;
    const std::string* token = nullptr;
    if (record) {
        if (const PropertyValue* value = record.value().find("URL")) {
            url = std::get_if<std::string>(value);
        }
        if (const PropertyValue* value = record.value().find("Token")) {
            token = std::get_if<std::string>(value);
        }
    }
    if (!url || !token || url->empty() || token->empty()) {
        return Outcome::Failure("The running editor's record " + file + " can not be read.");
    }
    return Outcome::Success({*url, *token});
}

bool RunningEditorTokenMatches(std::string_view token, std::string_view presented) {
    if (token.empty() || token.size() != presented.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        difference |= static_cast<unsigned char>(token[i] ^ presented[i]);
    }
    return difference == 0;
}

Result<Done> HandUrlToRunningEditor(const std::string& file, std::string_view url,
                                    const HttpLimits& limits) {
    const Result<RunningEditor> editor = FindRunningEditor(file);
    if (!editor) return Result<Done>::Failure(editor.error());
    HttpRequest request;
    request.method = "POST";
    request.url = editor.value().url + kOpenUrlPath;
    request.headers = {{kOpenUrlTokenHeader, editor.value().token},
                       {"Content-Type", "text/plain; charset=utf-8"}};
    request.body.assign(url.begin(), url.end());
    const Result<HttpResponse> response = PerformHttpRequest(request, limits);
    // A record left by an editor that ended without withdrawing it.
    if (!response) return Result<Done>::Failure(kNoEditor);
    const int status = response.value().status;
    if (status >= 200 && status < 300) return Result<Done>::Success(Done{});
    return Result<Done>::Failure("The running editor did not take the address (HTTP " +
                                 std::to_string(status) + ").");
}

}  // namespace vantrel
