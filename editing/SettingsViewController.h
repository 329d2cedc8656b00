// SettingsViewController: the settings screen (phase 4) as rows of keys and
// switches. Section 0: "STR_LABEL_ABOUT_SWITCH" (opens the about screen),
// the switches "STR_LABEL_TIPS_SWITCH" (showTips), "STR_LABEL_USESIZE_SWITCH"
// (alwaysUseOriginalSize) and "STR_LABEL_PREVIEW_SWITCH"
// (highQualityPreview), and "STR_LABEL_LOGOUT" (forgets the sharing
// accounts, then shows the completion message); section 1: the switch
// "STR_LABEL_ALPHA_SWITCH" (activeAlphaChannel). A switch writes its field at
// once; the file is written only when the program goes to the background.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vantrel {

class Settings;

class SettingsViewController {
public:
    static constexpr char kTitleKey[] = "STR_SETTINGS";

    explicit SettingsViewController(Settings& settings) : m_settings(settings) {}

    static int numberOfSections() { return 2; }
    static int numberOfRows(int section);
    // The row's "STR_" key; empty outside the table.
    static std::string rowKey(int section, int row);
    static std::string sectionHeaderKey(int section);
    static std::string sectionFooterKey(int section);

    // The switch's value; nothing for a row without a switch.
    std::optional<bool> switchValue(int section, int row) const;
    // Writes the switch's field; false for a row without a switch.
    bool setSwitch(int section, int row, bool on);
    // A tap on a row without a switch (about, log out).
    void selectRow(int section, int row);
    // The handler of realTime, which no row shows.
    void switchRealTime(bool on);

    // What the about row and the log-out row do beyond this screen (the
    // sharing accounts are another part's).
    void setShowAbout(std::function<void()> showAbout) { m_showAbout = std::move(showAbout); }
    void setClearAllToken(std::function<void()> clearAllToken) {
        m_clearAllToken = std::move(clearAllToken);
    }

private:
    Settings& m_settings;
    std::function<void()> m_showAbout;
    std::function<void()> m_clearAllToken;
};

}  // namespace vantrel
