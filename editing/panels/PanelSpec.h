// The effect panels as data: every panel of the edit screen's four menus,
// each declared once with its title key, class, controls, preview flags
// and (for plain panels) the mapping from control values to commands.
//
// A control is declared with its key, kind, caption key, range, default,
// label format and enabling rules; the panels, the `vantrel panels`
// schema, the tests and the benchmarks all read these declarations. The
// table itself is editing/panels/PanelTable.cpp.
//
// Values: every control holds one float, as a slider does. Toggles hold 0
// or 1; segments, lists, swatches and look strips hold the selected index.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace vantrel {

class EffectsProcesser;
class EffectsToolView;
struct PanelContext;
struct PanelSpec;

enum class Menu : std::uint8_t { Colour, Fix, Filter, Edit };

enum class ControlKind : std::uint8_t {
    Slider,
    Toggle,
    Segment,    // a row of tabs, one selected
    List,       // a scrolling list of named entries, one selected
    Swatches,   // coloured swatches or preset pictures, one selected
    LookStrip,  // the look list of the lomo and HDR panels, one selected
    Editor,     // an interactive editor (curve, hue range, focus, frame, turned picture)
    Button,     // a push button
    Caption,    // a fixed text
};

// The number a slider's label shows, before its format.
enum class LabelNumber : std::uint8_t {
    Truncated,      // the value truncated toward zero ("%d")
    Value,          // the value itself ("%.2f")
    Hundredths,     // trunc(value * 100) ("%d%%" of -1..1 sliders)
    ShownExposure,  // the exposure curve's shown number
};

// Enabled while the named control's value passes the test.
struct EnableRule {
    enum class Test : std::uint8_t {
        Off,           // a toggle that is off
        NotEqual,      // a value other than `value`
        EditorAllows,  // the named editor allows it (the curve's Delete)
    };
    std::string_view control;
    Test test;
    int value = 0;
};

// Another range while the named toggle is on.
struct RangeRule {
    std::string_view toggle;
    float minimum;
    float maximum;
};

struct ControlSpec {
    std::string_view key;
    ControlKind kind;
    std::string_view title;  // the STR_ key of its caption
    float minimum = 0;
    float maximum = 0;
    float defaultValue = 0;
    std::string_view format = "%d";
    LabelNumber labelNumber = LabelNumber::Truncated;
    std::span<const std::string_view> items = {};  // entries of segments, lists, swatches
    std::span<const EnableRule> enabledWhen = {};  // all must hold
    std::span<const RangeRule> ranges = {};
    bool defaultAtReset = false;  // the default depends on the picture; reset sets it
};

struct PreviewFlags {
    float imageSizeScale = 1.0f;  // preview size factor
    bool realTimeSliderEnabled = true;
    bool realTimeProcess = false;
    bool startProcessWithWaitPanel = false;
    bool waitPanelMaskEnabled = true;
    int waitPanelStyle = 0;
    bool showOriginalImageOnTap = true;
    bool allowUseReviewAsResult = true;
    // The result list maps the values of the last preview, not the current ones.
    bool resultFromLastPreview = false;
};

// Read access to a panel's control values by key.
class ControlValues {
public:
    ControlValues(const PanelSpec& panelSpec, std::span<const float> values)
        : m_spec(panelSpec), m_values(values) {}

    float value(std::string_view key) const;
    int integer(std::string_view key) const;  // truncated toward zero
    bool on(std::string_view key) const;

private:
    const PanelSpec& m_spec;
    std::span<const float> m_values;
};

using CommandMapper = void (*)(const ControlValues& values, EffectsProcesser& processor);
using PanelMaker = std::shared_ptr<EffectsToolView> (*)(const PanelSpec& panelSpec,
                                                        const PanelContext& context);

struct PanelSpec {
    std::string_view titleKey;   // "STR_MENU_CURVE": the menu item and the panel's title
    std::string_view className;  // "CurveEffectsToolView"
    Menu menu;
    std::span<const std::string_view> commands;  // the CMD_ names it sends
    std::span<const ControlSpec> controls;
    PreviewFlags flags;
    CommandMapper addCommands;  // the mapping of a plain panel; null where the class maps
    PanelMaker make;

    // The control of `key`, or null.
    const ControlSpec* control(std::string_view key) const;
    int controlIndex(std::string_view key) const;  // -1 when absent
};

// Every panel, in menu order: colour, fix, filter, edit.
std::span<const PanelSpec> PanelTable();

// The panel of a title key ("STR_MENU_CURVE"), or null.
const PanelSpec* FindPanel(std::string_view titleKey);

// The menu's key ("colour", "fix", "filter", "edit") and its bar item
// ("colorMenuItem", ...).
std::string_view MenuKey(Menu menu);
std::string_view MenuBarItem(Menu menu);
inline constexpr Menu kMenus[] = {Menu::Colour, Menu::Fix, Menu::Filter, Menu::Edit};

}  // namespace vantrel
