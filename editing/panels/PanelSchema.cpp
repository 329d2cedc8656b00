#include "editing/panels/PanelSchema.h"

#include <algorithm>

#include "editing/StateValues.h"
#include "editing/panels/LomoLooks.h"
#include "editing/panels/PanelSpec.h"

namespace vantrel {
namespace {

std::string_view KindText(ControlKind kind) {
    constexpr std::string_view kNames[] = {"slider",    "toggle", "segment", "list",   "swatches",
                                           "lookStrip", "editor", "button",  "caption"};
    return kNames[static_cast<int>(kind)];
}

std::string_view LabelNumberText(LabelNumber number) {
    constexpr std::string_view kNames[] = {"truncated", "value", "hundredths", "shownExposure"};
    return kNames[static_cast<int>(number)];
}

std::string_view TestText(EnableRule::Test test) {
    switch (test) {
        case EnableRule::Test::Off:
            return "off";
        case EnableRule::Test::NotEqual:
            return "notEqual";
        case EnableRule::Test::EditorAllows:
            break;
    }
    return "editorAllows";
}

bool HasRange(ControlKind kind) {
    return kind == ControlKind::Slider || kind == ControlKind::Toggle ||
           kind == ControlKind::Segment || kind == ControlKind::List ||
           kind == ControlKind::Swatches || kind == ControlKind::LookStrip;
}

Dictionary ControlEntry(const ControlSpec& control) {
    Dictionary entry{{"key", Value(control.key)},
                     {"kind", Value(KindText(control.kind))},
                     {"title", Value(control.title)}};
    if (HasRange(control.kind)) {
        entry.set("minimum", NumberValue(control.minimum));
        entry.set("maximum", NumberValue(control.maximum));
        entry.set("default", control.defaultAtReset ? Value() : NumberValue(control.defaultValue));
    }
    if (control.defaultAtReset) entry.set("defaultAtReset", Value(true));
    if (control.kind == ControlKind::Slider) {
        entry.set("format", Value(control.format));
        entry.set("labelNumber", Value(LabelNumberText(control.labelNumber)));
        entry.set("updateInterval", NumberValue(kSliderUpdateInterval));
    }
    if (!control.items.empty()) entry.set("items", TextsValue(control.items));
    Array rules;
    for (const EnableRule& rule : control.enabledWhen) {
        Dictionary r{{"control", Value(rule.control)}, {"test", Value(TestText(rule.test))}};
        if (rule.test == EnableRule::Test::NotEqual) r.set("value", NumberValue(rule.value));
        rules.push_back(std::move(r));
    }
    if (!rules.empty()) entry.set("enabledWhen", rules);
    Array ranges;
    for (const RangeRule& rule : control.ranges) {
        ranges.push_back(Dictionary{{"whenOn", Value(rule.toggle)},
                                    {"minimum", NumberValue(rule.minimum)},
                                    {"maximum", NumberValue(rule.maximum)}});
    }
    if (!ranges.empty()) entry.set("ranges", ranges);
    return entry;
}

Dictionary FlagsEntry(const PreviewFlags& f) {
    return Dictionary{{"imageSizeScale", NumberValue(f.imageSizeScale)},
                      {"realTimeSliderEnabled", Value(f.realTimeSliderEnabled)},
                      {"realTimeProcess", Value(f.realTimeProcess)},
                      {"startProcessWithWaitPanel", Value(f.startProcessWithWaitPanel)},
                      {"waitPanelMaskEnabled", Value(f.waitPanelMaskEnabled)},
                      {"waitPanelStyle", NumberValue(f.waitPanelStyle)},
                      {"showOriginalImageOnTap", Value(f.showOriginalImageOnTap)},
                      {"allowUseReviewAsResult", Value(f.allowUseReviewAsResult)},
                      {"resultFromLastPreview", Value(f.resultFromLastPreview)}};
}

Dictionary PanelEntry(const PanelSpec& panel) {
    Array controls;
    for (const ControlSpec& control : panel.controls) controls.push_back(ControlEntry(control));
    return Dictionary{
        {"title", Value(panel.titleKey)},     {"class", Value(panel.className)},
        {"menu", Value(MenuKey(panel.menu))}, {"commands", TextsValue(panel.commands)},
        {"flags", FlagsEntry(panel.flags)},   {"controls", controls}};
}

Array LookSections() {
    Array sections;
    for (LookSection section : kLookSections) {
        Array looks;
        for (const LomoLook& look : LooksInSection(section)) {
            looks.push_back(
                Dictionary{{"name", Value(look.displayName)}, {"lomo", NumberValue(look.lomo)}});
        }
        sections.push_back(Dictionary{
            {"title", Value(SectionTitle(section))},
            {"panel", Value(section == LookSection::kHDR ? "STR_MENU_HDR" : "STR_MENU_LOMO")},
            {"looks", looks}});
    }
    return sections;
}

void AddKey(std::vector<std::string_view>& keys, std::string_view text) {
    if (text.starts_with("STR_")) keys.push_back(text);
}

}  // namespace

std::vector<std::string_view> PanelStringKeys() {
    std::vector<std::string_view> keys(std::begin(kPanelHostStrings), std::end(kPanelHostStrings));
    for (const PanelSpec& panel : PanelTable()) {
        AddKey(keys, panel.titleKey);
        for (const ControlSpec& control : panel.controls) {
            AddKey(keys, control.title);
            for (std::string_view item : control.items) AddKey(keys, item);
        }
    }
    std::ranges::sort(keys);
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

Dictionary PanelSchema() {
    Array menus;
    for (Menu menu : kMenus) {
        Array items;
        for (const PanelSpec& panel : PanelTable()) {
            if (panel.menu == menu) items.push_back(Value(panel.titleKey));
        }
        menus.push_back(Dictionary{{"key", Value(MenuKey(menu))},
                                   {"barItem", Value(MenuBarItem(menu))},
                                   {"items", items}});
    }
    Array panels;
    for (const PanelSpec& panel : PanelTable()) panels.push_back(PanelEntry(panel));
    const std::vector<std::string_view> keys = PanelStringKeys();
    return Dictionary{{"menus", menus},
                      {"panels", panels},
                      {"looks", LookSections()},
                      {"hostStrings", TextsValue(kPanelHostStrings)},
                      {"strings", TextsValue(keys)}};
}

}  // namespace vantrel
