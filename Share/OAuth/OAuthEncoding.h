// The text forms of OAuth 1.0 requests: percent-encoding with the unreserved
// set of RFC 3986 (letters, digits, "-", ".", "_", "~" stay; every other
// byte becomes "%" and two upper-case hexadecimal digits), form-encoded
// parameter lists, and the parts of a URL that a signature covers.
//
// Failure: nothing fails; malformed escapes ("%zz", a "%" at the end) are
// kept as they are, as a lenient reader does.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel {

using OAuthParameters = std::vector<std::pair<std::string, std::string>>;

std::string OAuthPercentEncode(std::string_view text);

// Undoes percent-encoding; "+" becomes a blank, as in form-encoded text.
std::string OAuthPercentDecode(std::string_view text);

// "a=1&b=&c" as pairs, decoded, in order; an item without "=" has an empty
// value and empty items are skipped.
OAuthParameters ParseFormText(std::string_view text);

// The value of the first pair named `name`; empty when there is none.
std::string FindParameter(const OAuthParameters& parameters, std::string_view name);

// Pairs as form-encoded text, each name and value percent-encoded.
std::string FormText(const OAuthParameters& parameters);

// The pieces of an absolute URL "scheme://authority/path?query#fragment".
struct UrlParts {
    std::string scheme;
    std::string authority;  // host and port, without any "user@"
    std::string path;
    std::string query;
    std::string fragment;
};

UrlParts SplitUrl(std::string_view url);

// The base string URI: scheme and host in lower case, the port only when it
// is not the scheme's default, the path ("/" when empty); no query.
std::string NormalizedUrl(std::string_view url);

// The URL with every "+" written as "%2B", so that no reader takes it for a
// blank; requests are signed and sent with this form.
std::string EscapePlusSigns(std::string_view url);

}  // namespace vantrel
