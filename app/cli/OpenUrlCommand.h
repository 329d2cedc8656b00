// `vantrel open-url URL`: the handler of the "vantrel" URL scheme (see
// resources/vantrel-url-handler.desktop). The browser hands it a sharing
// sign-in's callback; it posts the URL to the running editor named in the
// documents directory (platform/RunningEditor.h) and ends.
//
// Exit status: 0 when the editor took the URL; 1 when no editor runs or it
// refused the URL (the reason on standard error).
#pragma once

#include <ostream>
#include <string>

namespace vantrel::cli {

int RunOpenUrl(const std::string& url, std::ostream& out, std::ostream& err);

}  // namespace vantrel::cli
