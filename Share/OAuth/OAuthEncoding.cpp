#include "Share/OAuth/OAuthEncoding.h"

#include <algorithm>
#include <cctype>

namespace vantrel {
namespace {

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

std::string OAuthPercentEncode(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // isalnum must not see bytes of the locale's other letters.
        if (byte < 0x80 && IsUnreserved(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 15];
        }
    }
    return encoded;
}

std::string OAuthPercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '%' && i + 2 < text.size();
        const int high = escape ? HexValue(text[i + 1]) : -1;
        const int low = escape ? HexValue(text[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += text[i] == '+' ? ' ' : text[i];
        }
    }
    return decoded;
}

OAuthParameters ParseFormText(std::string_view text) {
    OAuthParameters parameters;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('&'), text.size());
        const std::string_view item = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (item.empty()) continue;
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            parameters.emplace_back(OAuthPercentDecode(item), std::string());
        } else {
            parameters.emplace_back(OAuthPercentDecode(item.substr(0, equals)),
                                    OAuthPercentDecode(item.substr(equals + 1)));
        }
    }
    return parameters;
}

std::string FindParameter(const OAuthParameters& parameters, std::string_view name) {
    for (const auto& [key, value] : parameters) {
        if (key == name) return value;
    }
    return {};
}

std::string FormText(const OAuthParameters& parameters) {
    std::string text;
    for (const auto& [name, value] : parameters) {
        if (!text.empty()) text += '&';
        text += OAuthPercentEncode(name) + "=" + OAuthPercentEncode(value);
    }
    return text;
}

UrlParts SplitUrl(std::string_view url) {
    UrlParts parts;
    if (const std::size_t hash = url.find('#'); hash != std::string_view::npos) {
        parts.fragment = url.substr(hash + 1);
        url = url.substr(0, hash);
    }
    if (const std::size_t mark = url.find('?'); mark != std::string_view::npos) {
        parts.query = url.substr(mark + 1);
        url = url.substr(0, mark);
    }
    if (const std::size_t colon = url.find("://"); colon != std::string_view::npos) {
        parts.scheme = url.substr(0, colon);
        url.remove_prefix(colon + 3);
    }
    const std::size_t slash = std::min(url.find('/'), url.size());
    std::string_view authority = url.substr(0, slash);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    parts.authority = authority;
    parts.path = url.substr(slash);
    return parts;
}

std::string NormalizedUrl(std::string_view url) {
    const UrlParts parts = SplitUrl(url);
    const std::string scheme = Lower(parts.scheme);
    std::string authority = Lower(parts.authority);
    const std::size_t colon = authority.rfind(':');
    // A colon inside "[...]" belongs to an IPv6 address, not to a port.
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) {
            authority.resize(colon);
        }
    }
    return scheme + "://" + authority + (parts.path.empty() ? "/" : parts.path);
}

std::string EscapePlusSigns(std::string_view url) {
    std::string escaped;
    escaped.reserve(url.size());
    for (const char c : url) {
        if (c == '+')
            escaped += "%2B";
        else
            escaped += c;
    }
    return escaped;
}

}  // namespace vantrel
