// The login callback's way back into the running editor.
//
// After a login the provider sends the browser to the callback address:
// either the program's URL scheme, "Vantrel://handleOAuthLogin?..." (the
// desktop entry hands it to `vantrel open-url`, which posts it to the
// running editor's "/open-url"), or, when sharing.json names one, the
// editor's own "http://HOST:PORT/handleOAuthLogin?..." (the web server's
// route). Both end in handleOAuthLogin, which gives the URL to the share
// kit on the main queue.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

struct RunningEditor;

inline constexpr char kOAuthLoginPath[] = "/handleOAuthLogin";
inline constexpr std::size_t kMaxCallbackUrlBytes = 8 * 1024;

// What the route GET /handleOAuthLogin answers the browser. Facebook's
// dialog returns its answer in the fragment, which a browser never sends to
// a server; the page's script asks again with the fragment as the query
// (handleOpenURL reads either), and otherwise tells the user to go back.
inline constexpr char kOAuthCallbackPage[] =
    "<!doctype html><meta charset=\"utf-8\"><title>Vantrel</title>"
    "<script>if (location.hash.length > 1 && !location.search)"
    " location.replace(location.pathname + \"?\" + location.hash.slice(1));</script>"
    "<p>You can close this tab and go back to Vantrel.</p>";

// Whether `url` is a login callback: the "vantrel" scheme (any letter case)
// with the host "handleOAuthLogin", or an http(s) address whose path is
// "/handleOAuthLogin"; at most kMaxCallbackUrlBytes long.
bool IsOAuthLoginCallback(std::string_view url);

// Queues the shared kit's handleOpenURL(url) on the main queue; false (and
// nothing queued) when `url` is not a login callback. For the web server's
// route GET /handleOAuthLogin, pass "http://HOST" + the request's target.
bool handleOAuthLogin(std::string url);

// The web server's POST /open-url: the token presented in the
// "X-Vantrel-Token" header is checked against the editor's own, then the
// body (the URL) goes to handleOAuthLogin. Returns the HTTP status to
// answer: 202 taken, 403 wrong token, 400 not a login callback.
int handleOpenUrlRequest(const RunningEditor& editor, std::string_view presentedToken,
                         std::string_view body);

}  // namespace vantrel
