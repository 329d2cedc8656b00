#include "app/web/WebSecurity.h"

#include <sys/random.h>

#include <array>
#include <cctype>
#include <system_error>

#include "platform/PictureCodec.h"

namespace fs = std::filesystem;

namespace vantrel::web {
namespace {

bool IsChangingMethod(std::string_view method) {
    return method != "GET" && method != "HEAD" && method != "OPTIONS";
}

// Whether `path` lies inside `root` (both already made absolute and normal).
bool IsInside(const fs::path& root, const fs::path& path) {
    auto r = root.begin();
    auto p = path.begin();
    for (; r != root.end(); ++r, ++p) {
        if (r->empty()) continue;  // a trailing separator
        if (p == path.end() || *r != *p) return false;
    }
    return true;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

std::string NewAccessToken() {
    std::array<unsigned char, 32> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got <= 0) return {};
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char byte : bytes) {
        token += kHex[byte >> 4];
        token += kHex[byte & 15];
    }
    return token;
}

bool SameSecret(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

std::string CookieValue(std::string_view cookieHeader, std::string_view name) {
    while (!cookieHeader.empty()) {
        const std::size_t end = cookieHeader.find(';');
        const std::string_view pair = cookieHeader.substr(0, end);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && Trimmed(pair.substr(0, equals)) == name) {
            return Trimmed(pair.substr(equals + 1));
        }
        if (end == std::string_view::npos) break;
        cookieHeader.remove_prefix(end + 1);
    }
    return {};
}

bool IsLoopbackHost(std::string_view host, int port) {
    const std::string suffix = ":" + std::to_string(port);
    for (const std::string_view name : {"127.0.0.1", "localhost", "[::1]"}) {
        if (host == std::string(name) + suffix) return true;
        // A browser leaves the port out for port 80.
        if (port == 80 && host == name) return true;
    }
    return false;
}

Verdict CheckRequest(const AccessPolicy& policy, const RequestFacts& request) {
    if (policy.loopbackHostOnly && !IsLoopbackHost(request.host, policy.port)) {
        return Verdict::WrongHost;
    }
    if (policy.requireToken) {
        const bool cookie =
            SameSecret(CookieValue(request.cookieHeader, kTokenCookie), policy.token);
        const bool parameter = SameSecret(request.tokenParameter, policy.token);
        if (policy.token.empty() || (!cookie && !parameter)) return Verdict::NoToken;
    }
    if (IsChangingMethod(request.method)) {
        if (!request.origin.empty() && request.origin != "http://" + std::string(request.host)) {
            return Verdict::ForeignOrigin;
        }
        if (!request.fetchSite.empty() && request.fetchSite != "same-origin" &&
            request.fetchSite != "none") {
            return Verdict::ForeignOrigin;
        }
    }
    return Verdict::Allow;
}

std::optional<fs::path> ResolveStaticPath(const fs::path& root, std::string_view urlPath) {
    std::string_view relative = urlPath;
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    if (relative.empty()) relative = "index.html";
    if (relative.size() > 200) return std::nullopt;
    // Every part a plain name: no "..", no hidden names, no empty parts.
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string_view part = relative.substr(start, end - start);
        if (part.empty() || part.front() == '.') return std::nullopt;
        for (const char c : part) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7f || c == '\\' || c == ':') return std::nullopt;
        }
        start = end + 1;
    }
    std::error_code error;
    const fs::path base = fs::canonical(root, error);
    if (error) return std::nullopt;
    const fs::path file = fs::canonical(base / fs::path(std::string(relative)), error);
    if (error || !IsInside(base, file) || !fs::is_regular_file(file, error)) return std::nullopt;
    return file;
}

Result<Picture> DecodeUpload(std::span<const unsigned char> bytes, std::size_t maxBytes,
                             std::int64_t maxPixels) {
    if (bytes.empty()) return Result<Picture>::Failure("The upload is empty: nothing was opened.");
    if (bytes.size() > maxBytes) {
        return Result<Picture>::Failure("The upload is larger than " +
                                        std::to_string(maxBytes >> 20) +
                                        " MB: nothing was opened.");
    }
    if (!SniffPictureFormat(bytes)) {
        return Result<Picture>::Failure(
            "This is not a picture: only JPEG and PNG photos can be opened.");
    }
    Result<Picture> picture = DecodePicture(bytes, maxPixels);
    if (!picture) {
        return Result<Picture>::Failure(picture.error() + " Nothing was opened.");
    }
    return picture;
}

std::string UploadFileName(std::string_view clientName, bool jpeg) {
    const std::size_t slash = clientName.find_last_of("/\\");
    if (slash != std::string_view::npos) clientName.remove_prefix(slash + 1);
    const std::size_t dot = clientName.rfind('.');
    if (dot != std::string_view::npos) clientName = clientName.substr(0, dot);
    std::string stem;
    for (const char c : clientName) {
        if (stem.size() == 48) break;
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') stem += c;
    }
    if (stem.empty()) stem = "upload";
    return stem + (jpeg ? ".jpg" : ".png");
}

}  // namespace vantrel::web
