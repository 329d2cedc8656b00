// RunningEditor: how other processes find the editor that runs now, so that
// `vantrel open-url` (the handler of the "vantrel" URL scheme) can hand it
// the login callback that the browser opened.
//
// The running server publishes its loopback address and a fresh random
// token in "running-editor.plist" in the documents directory, a file created
// with mode 0600, so only the same user can read the token. A hand-off is a
// POST of the URL as text/plain to ADDRESS + "/open-url" with the token in
// the header "X-Vantrel-Token"; the server compares it with
// RunningEditorTokenMatches and answers 2xx when it took the URL.
//
// Failure: error texts meant for a person ("No Vantrel editor is running.");
// nothing is thrown.
#pragma once

#include <string>
#include <string_view>

#include "platform/HttpClient.h"
#include "platform/Result.h"

namespace vantrel {

inline constexpr char kRunningEditorFileName[] = "running-editor.plist";
inline constexpr char kOpenUrlPath[] = "/open-url";
inline constexpr char kOpenUrlTokenHeader[] = "X-Vantrel-Token";

struct RunningEditor {
    std::string url;    // "http://127.0.0.1:PORT", no trailing slash
    std::string token;  // 64 hexadecimal digits
};

// The file's place in the documents directory (not created).
std::string RunningEditorFile();

// Publishes `url` with a fresh token in `file`, replacing an older record.
Result<RunningEditor> PublishRunningEditor(const std::string& file, std::string_view url);

// Removes `file` if it still names `editor`: a later editor's record stays.
void WithdrawRunningEditor(const std::string& file, const RunningEditor& editor);

// The editor named in `file`.
Result<RunningEditor> FindRunningEditor(const std::string& file);

// Whether `presented` is the token, compared in time independent of where
// they differ.
bool RunningEditorTokenMatches(std::string_view token, std::string_view presented);

// Hands `url` to the editor named in `file`; fails when none runs or it
// refuses.
Result<Done> HandUrlToRunningEditor(const std::string& file, std::string_view url,
                                    const HttpLimits& limits = {});

}  // namespace vantrel
