// The looks the panels show: display name and place of every lomo style
// that appears in the lomo panel (sections "Classic", "Soft", "B/W",
// "Other") or the HDR panel, declared once for the panels and the contact
// sheet. Styles 1, 8, 42 and 49 have no display name and are reached only
// through commands.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

// The lomo panel's four sections in their order, then the HDR panel.
enum class LookSection : int { kClassic, kSoft, kBlackWhite, kOther, kHDR };

inline constexpr LookSection kLookSections[] = {LookSection::kClassic, LookSection::kSoft,
                                                LookSection::kBlackWhite, LookSection::kOther,
                                                LookSection::kHDR};

struct LomoLook {
    int lomo;                      // style number
    std::string_view displayName;  // as the panel shows it
    LookSection section;
    int position;  // 1 = first in its section
};

// Every shown look, in style order.
std::span<const LomoLook> LomoLooks();

// The looks of one section in panel order.
std::vector<LomoLook> LooksInSection(LookSection section);

// "Classic", "Soft", "B/W", "Other"; "HDR" for the HDR panel's one list.
std::string_view SectionTitle(LookSection section);

// The look of style `lomo`, or null for a style no panel shows.
const LomoLook* FindLook(int lomo);

}  // namespace vantrel
