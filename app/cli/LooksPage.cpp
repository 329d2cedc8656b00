#include "app/cli/LooksPage.h"

#include "platform/HtmlText.h"

namespace vantrel::cli {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string LookFileName(std::string_view displayName) {
    std::string name;
    bool gap = false;
    for (char c : displayName) {
        if (!IsAsciiAlnum(c)) {
            gap = !name.empty();
            continue;
        }
        if (gap) name += '_';
        gap = false;
        name += c;
    }
    return name + ".png";
}

std::string LooksIndexHtml(std::string_view title, std::span<const SheetEntry> entries, int width,
                           int height) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        HtmlEscape(title) +
        "</title>\n<style>\nbody { font-family: sans-serif; margin: 1em; }\n"
        "figure { display: inline-block; margin: 0 1em 1em 0; vertical-align: top; }\n"
        "figcaption { text-align: center; }\n.failed { color: #b00; }\n</style>\n</head>\n"
        "<body>\n<h1>" +
        HtmlEscape(title) + "</h1>\n";
    const std::string size =
        " width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
    for (LookSection section : kLookSections) {
        page += "<h2>" + HtmlEscape(SectionTitle(section)) + "</h2>\n<div>\n";
        for (const SheetEntry& entry : entries) {
            if (entry.look.section != section) continue;
            const std::string name = HtmlEscape(entry.look.displayName);
            page += "<figure>";
            if (entry.rendered) {
                page += "<img src=\"" + HtmlEscape(LookFileName(entry.look.displayName)) +
                        "\" alt=\"" + name + "\"" + size + "><figcaption>" + name;
            } else {
                page += "<figcaption class=\"failed\">" + name + " (failed)";
            }
            page += "</figcaption></figure>\n";
        }
        page += "</div>\n";
    }
    return page + "</body>\n</html>\n";
}

}  // namespace vantrel::cli
