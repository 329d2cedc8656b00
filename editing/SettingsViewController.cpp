#include "editing/SettingsViewController.h"

#include <array>

#include "editing/Settings.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

struct Row {
    const char* key;
    bool (Settings::*get)() const;  // null for a row without a switch
    void (Settings::*set)(bool);
};

constexpr std::array<Row, 5> kSectionZero{{
    {"STR_LABEL_ABOUT_SWITCH", nullptr, nullptr},
    {"STR_LABEL_TIPS_SWITCH", &Settings::showTips, &Settings::setShowTips},
    {"STR_LABEL_USESIZE_SWITCH", &Settings::alwaysUseOriginalSize,
     &Settings::setAlwaysUseOriginalSize},
    {"STR_LABEL_PREVIEW_SWITCH", &Settings::highQualityPreview, &Settings::setHighQualityPreview},
    {"STR_LABEL_LOGOUT", nullptr, nullptr},
}};
constexpr std::array<Row, 1> kSectionOne{{
    {"STR_LABEL_ALPHA_SWITCH", &Settings::activeAlphaChannel, &Settings::setActiveAlphaChannel},
}};

const Row* RowAt(int section, int row) {
    if (section == 0 && row >= 0 && row < static_cast<int>(kSectionZero.size())) {
        return &kSectionZero[static_cast<std::size_t>(row)];
    }
    if (section == 1 && row >= 0 && row < static_cast<int>(kSectionOne.size())) {
        return &kSectionOne[static_cast<std::size_t>(row)];
    }
    return nullptr;
}

}  // namespace

int SettingsViewController::numberOfRows(int section) {
    if (section == 0) return static_cast<int>(kSectionZero.size());
    if (section == 1) return static_cast<int>(kSectionOne.size());
    return 0;
}

std::string SettingsViewController::rowKey(int section, int row) {
    const Row* found = RowAt(section, row);
    return found ? found->key : "";
}

std::string SettingsViewController::sectionHeaderKey(int section) {
    return section == 0 || section == 1 ? "STR_LABEL_SECTION_HEADER_" + std::to_string(section)
                                        : "";
}

std::string SettingsViewController::sectionFooterKey(int section) {
    return section == 0 || section == 1 ? "STR_LABEL_SECTION_FOOTER_" + std::to_string(section)
                                        : "";
}

std::optional<bool> SettingsViewController::switchValue(int section, int row) const {
    const Row* found = RowAt(section, row);
    if (!found || !found->get) return std::nullopt;
    return (m_settings.*(found->get))();
}

bool SettingsViewController::setSwitch(int section, int row, bool on) {
    const Row* found = RowAt(section, row);
    if (!found || !found->set) return false;
    (m_settings.*(found->set))(on);
    return true;
}

void SettingsViewController::selectRow(int section, int row) {
    if (section != 0) return;
    if (row == 0 && m_showAbout) m_showAbout();
    if (row == 4) {
        if (m_clearAllToken) m_clearAllToken();
        UIServices& ui = currentUIServices();
        ui.displayCompleted(ui.localizedString("STR_LABEL_LOGOUT"));
    }
}

void SettingsViewController::switchRealTime(bool on) {
    m_settings.setRealTime(on);
}

}  // namespace vantrel
