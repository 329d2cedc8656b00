// A panel control's declared default (editing/panels/PanelTable.cpp), so that
// the benchmarks that run an operation "at its panel's defaults" read them
// from the one declaration.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "Core/global/Numeric.h"
#include "editing/panels/PanelSpec.h"

namespace vantrel::bench {

inline float PanelDefault(std::string_view title, std::string_view key) {
    const PanelSpec* panel = FindPanel(title);
    const ControlSpec* control = panel ? panel->control(key) : nullptr;
    if (!control) throw std::logic_error("no control " + std::string(key));
    return control->defaultValue;
}

// The default as the panel maps an integer parameter: truncated.
inline int PanelDefaultInt(std::string_view title, std::string_view key) {
    return TiTrunc(PanelDefault(title, key));
}

}  // namespace vantrel::bench
