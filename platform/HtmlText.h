// Text put into an HTML page: the five characters with a meaning in markup
// or in a quoted attribute (& < > " ') become character references, so that
// a name from outside shows as written and never as markup.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

std::string HtmlEscape(std::string_view text);

}  // namespace vantrel
