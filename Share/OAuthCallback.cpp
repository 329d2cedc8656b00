#include "Share/OAuthCallback.h"

#include <algorithm>
#include <cctype>

#include "Share/OAuth/OAuthEncoding.h"
#include "Share/WBShareKit.h"
#include "platform/Dispatch.h"
#include "platform/RunningEditor.h"

namespace vantrel {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

bool IsOAuthLoginCallback(std::string_view url) {
    if (url.size() > kMaxCallbackUrlBytes || url.find("://") == std::string_view::npos) {
        return false;
    }
    const UrlParts parts = SplitUrl(url);
    if (SameLetters(parts.scheme, "vantrel")) {
        return SameLetters(parts.authority, "handleOAuthLogin") &&
               (parts.path.empty() || parts.path == "/");
    }
    return (SameLetters(parts.scheme, "http") || SameLetters(parts.scheme, "https")) &&
           parts.path == kOAuthLoginPath;
}

bool handleOAuthLogin(std::string url) {
    if (!IsOAuthLoginCallback(url)) return false;
    dispatchAsync(DispatchQueue::Main,
                  [url = std::move(url)] { WBShareKit::sharedWBShareKit().handleOpenURL(url); });
    return true;
}

int handleOpenUrlRequest(const RunningEditor& editor, std::string_view presentedToken,
                         std::string_view body) {
    if (!RunningEditorTokenMatches(editor.token, presentedToken)) return 403;
    std::string url(body);
    while (!url.empty() && std::isspace(static_cast<unsigned char>(url.back()))) url.pop_back();
    return handleOAuthLogin(std::move(url)) ? 202 : 400;
}

}  // namespace vantrel
