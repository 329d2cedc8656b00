// The server's rules for what it lets in, as plain functions over the facts
// of a request, so that they are tested without a socket:
//
// - Host: bound to the loopback address, the server answers only requests
//   addressed to the loopback names (127.0.0.1, localhost, [::1]) on its
//   port, so that a web page whose name was pointed at 127.0.0.1 (DNS
//   rebinding) reaches nothing.
// - Token: on the local network (--lan) every request carries the access
//   token, as the "token" query parameter of the first visit or as the
//   cookie that visit sets; anything else is 401.
// - Origin: a request that changes state (anything but GET and HEAD) from a
//   browser must come from the editor's own page: its Origin, when sent, is
//   "http://" + its Host; a Sec-Fetch-Site other than "same-origin" or
//   "none" is refused.
// - Files: a URL path names a file inside the front end's folder or nothing;
//   "..", hidden names, backslashes, NUL and links that lead out are refused.
// - Uploads: bounded in bytes, and a picture's size is read from its header
//   and refused before any pixel memory is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel::web {

inline constexpr char kTokenCookie[] = "vantrel_token";
inline constexpr char kTokenParameter[] = "token";

// The largest request body: an upload of a photo, with room to spare.
inline constexpr std::size_t kMaxUploadBytes = std::size_t{64} << 20;
// The largest uploaded picture: 64 megapixels, 256 MB of pixels.
inline constexpr std::int64_t kMaxUploadPixels = 64'000'000;

// A fresh access token: 32 random bytes from the kernel, as 64 hex digits.
// Empty when no random bytes can be had.
std::string NewAccessToken();

// Compares in time that does not depend on where the texts differ.
bool SameSecret(std::string_view a, std::string_view b);

// The value of cookie `name` in a Cookie header, or empty.
std::string CookieValue(std::string_view cookieHeader, std::string_view name);

struct AccessPolicy {
    bool requireToken = false;     // --lan
    std::string token;             // when required
    bool loopbackHostOnly = true;  // bound to the loopback address
    int port = 0;
};

// What the rules look at in a request.
struct RequestFacts {
    std::string_view method;
    std::string_view host;            // the Host header
    std::string_view origin;          // the Origin header, or empty
    std::string_view fetchSite;       // the Sec-Fetch-Site header, or empty
    std::string_view cookieHeader;    // the Cookie header, or empty
    std::string_view tokenParameter;  // the "token" query parameter, or empty
};

enum class Verdict {
    Allow,
    WrongHost,     // 421: not addressed to this server's loopback name
    NoToken,       // 401: the token is required and missing or wrong
    ForeignOrigin  // 403: a state change from another site
};

Verdict CheckRequest(const AccessPolicy& policy, const RequestFacts& request);

// Whether `host` (a Host header) names the loopback address on `port`.
bool IsLoopbackHost(std::string_view host, int port);

// The file of URL path `urlPath` ("/assets/app.js") inside `root`, or
// nothing when the path is not a plain relative name there (see above) or
// the file is not a regular file inside `root` after links are followed.
// "/" and an empty path name "index.html".
std::optional<std::filesystem::path> ResolveStaticPath(const std::filesystem::path& root,
                                                       std::string_view urlPath);

// An uploaded picture: refused with a message meant for a person when it is
// empty, over `maxBytes`, neither PNG nor JPEG, over `maxPixels` by its
// header, or broken.
Result<Picture> DecodeUpload(std::span<const unsigned char> bytes,
                             std::size_t maxBytes = kMaxUploadBytes,
                             std::int64_t maxPixels = kMaxUploadPixels);

// A file name for an upload kept in the library: the letters, digits, '-'
// and '_' of `clientName`'s stem (at most 48), "upload" when none is left,
// and the extension of `jpeg` (".jpg") or PNG (".png").
std::string UploadFileName(std::string_view clientName, bool jpeg);

}  // namespace vantrel::web
