// The panels as a front end renders them, from the panel table alone: the
// four menus, every panel's flags, commands and controls (kind, caption key,
// range, default, label format, items, enabling rules), the look lists, and
// every STR_ key they show. `vantrel panels` prints it as JSON.
#pragma once

#include <string_view>
#include <vector>

#include "commands/Value.h"

namespace vantrel {

// A slider records its value this long after it stops moving.
inline constexpr double kSliderUpdateInterval = 0.03;

// The panel host's own texts: its buttons and the review toggle.
inline constexpr std::string_view kPanelHostStrings[] = {"STR_BUTTON_DONE", "STR_BUTTON_BACK",
                                                         "STR_REVIEW", "STR_PROCESSING"};

Dictionary PanelSchema();

// Every STR_ key the schema holds, sorted, each once.
std::vector<std::string_view> PanelStringKeys();

}  // namespace vantrel
