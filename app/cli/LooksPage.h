// The contact sheet's page and file names: each look's picture file named
// after its display name, and index.html showing the looks under their panel
// sections in panel order.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "editing/panels/LomoLooks.h"

namespace vantrel::cli {

// A display name as a file name: every run of characters other than ASCII
// letters and digits becomes one "_", with none at either end, and ".png"
// follows ("Vibrant Blue / Purple" -> "Vibrant_Blue_Purple.png").
std::string LookFileName(std::string_view displayName);

// One look of the sheet as the page shows it.
struct SheetEntry {
    LomoLook look;
    bool rendered = false;  // its picture was written
};

// The page: a heading, then each section's looks in panel order, each with
// its picture (width x height) and its name; failed looks are named as such.
// Every text is HTML-escaped.
std::string LooksIndexHtml(std::string_view title, std::span<const SheetEntry> entries, int width,
                           int height);

}  // namespace vantrel::cli
