#include "editing/Settings.h"

#include <climits>
#include <functional>

#include "Core/global/TiLog.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

constexpr char kVersionKey[] = "Version";
constexpr char kShowTipsKey[] = "ShowTips";
constexpr char kAlwaysUseOriginalSizeKey[] = "AlwaysUseOriginalSize";
constexpr char kHighQualityPreviewKey[] = "HighQualityPreview";
constexpr char kEnableAlphaChannelKey[] = "EnableAlphaChannel";
constexpr char kStartCountKey[] = "StartCount";

// A stored integer: 0 when missing, nothing when of another kind or wider
// than 32 bits.
std::optional<int> DecodeInt(const PropertyList& coder, const char* key) {
    const PropertyValue* value = coder.find(key);
    if (!value) return 0;
    const auto* integer = std::get_if<std::int64_t>(value);
    if (!integer || *integer < INT_MIN || *integer > INT_MAX) return std::nullopt;
    return static_cast<int>(*integer);
}

std::optional<bool> DecodeBool(const PropertyList& coder, const char* key) {
    const PropertyValue* value = coder.find(key);
    if (!value) return false;
    const auto* flag = std::get_if<bool>(value);
    if (!flag) return std::nullopt;
    return *flag;
}

}  // namespace

struct Settings::Stored {
    int version;
    bool showTips;
    bool alwaysUseOriginalSize;
    bool highQualityPreview;
    bool activeAlphaChannel;
    int startCount;
};

Settings::Settings(std::string file) : m_file(std::move(file)) {}

std::optional<Settings::Stored> Settings::decodeStored(const PropertyList& coder) {
    const std::optional<int> version = DecodeInt(coder, kVersionKey);
    const std::optional<bool> showTips = DecodeBool(coder, kShowTipsKey);
    const std::optional<bool> original = DecodeBool(coder, kAlwaysUseOriginalSizeKey);
    const std::optional<bool> preview = DecodeBool(coder, kHighQualityPreviewKey);
    const std::optional<bool> alpha = DecodeBool(coder, kEnableAlphaChannelKey);
    const std::optional<int> startCount = DecodeInt(coder, kStartCountKey);
    if (!version || !showTips || !original || !preview || !alpha || !startCount) {
        return std::nullopt;
    }
    return Stored{*version, *showTips, *original, *preview, *alpha, *startCount};
}

std::unique_ptr<Settings> Settings::loadFromFile(const std::string& file) {
    auto settings = std::make_unique<Settings>(file);
    const Result<std::vector<unsigned char>> bytes = ReadWholeFile(file, kMaxSettingsFileBytes);
    if (!bytes) return settings;
    const Result<PropertyList> coder = ReadPropertyList(bytes.value());
    if (!coder || !decodeStored(coder.value())) {
        TiLog("settings file can't be decoded: %s", file.c_str());
        return settings;
    }
    settings->initWithCoder(coder.value());
    return settings;
}

Settings& Settings::sharedSettings() {
    // Never destroyed: background work may read it while the program exits.
    static Settings& shared = []() -> Settings& {
        const Result<std::string> folder = DocumentsDirectory();
        if (!folder) {
            TiLog("%s", folder.error().c_str());
            return *new Settings();
        }
        return *loadFromFile(folder.value() + "/" + kSettingsFileName).release();
    }();
    return shared;
}

void Settings::initWithCoder(const PropertyList& coder) {
    const std::optional<Stored> stored = decodeStored(coder);
    std::lock_guard lock(m_mutex);
    if (stored && stored->version != 0) {
        m_version = stored->version;
        m_showTips = stored->showTips;
        m_alwaysUseOriginalSize = stored->alwaysUseOriginalSize;
        m_highQualityPreview = stored->highQualityPreview;
        m_activeAlphaChannel = stored->activeAlphaChannel;
        m_startCount = stored->startCount;
        m_isSettingSaved = true;
    }
    // Wraps rather than overflowing at the 32-bit limit.
    m_startCount = static_cast<int>(static_cast<unsigned>(m_startCount) + 1u);
}

PropertyList Settings::encodeWithCoder() const {
    std::lock_guard lock(m_mutex);
    PropertyList coder;
    coder.set(kVersionKey, std::int64_t{m_version});
    coder.set(kShowTipsKey, m_showTips);
    coder.set(kAlwaysUseOriginalSizeKey, m_alwaysUseOriginalSize);
    coder.set(kHighQualityPreviewKey, m_highQualityPreview);
    coder.set(kEnableAlphaChannelKey, m_activeAlphaChannel);
    coder.set(kStartCountKey, std::int64_t{m_startCount});
    return coder;
}

bool Settings::save() const {
    if (m_file.empty()) return false;
    const Result<std::vector<unsigned char>> bytes = WritePropertyList(encodeWithCoder());
    const bool written = bytes && WriteFileAtomically(m_file, bytes.value()).ok();
    if (!written) TiLog("settings not saved: %s", m_file.c_str());
    return written;
}

void Settings::runStartSequence(UIServices& ui, const std::string& storeUrl) {
    bool rateRequest = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_version < kSettingsVersion) {
            m_version = kSettingsVersion;
            m_startCount = 0;
        }
        rateRequest = m_startCount == kRateRequestStartCount;
    }
    if (!rateRequest) return;
    AlertRequest request;
    request.title = ui.localizedString("STR_THANKS");
    request.message = ui.localizedString("STR_RATEIT");
    request.cancelButton = ui.localizedString("STR_NEXT_TIME");
    request.otherButtons = {ui.localizedString("STR_OK")};
    ui.showAlertWithButtons(request, answerOnMainQueue([storeUrl](int index) {
                                if (index == 1) currentUIServices().openURL(storeUrl);
                            }));
}

#define VANTREL_SETTINGS_FIELD(Type, getter, setter, member) \
    Type Settings::getter() const {                          \
        std::lock_guard lock(m_mutex);                       \
        return member;                                       \
    }                                                        \
    void Settings::setter(Type value) {                      \
        std::lock_guard lock(m_mutex);                       \
        member = std::move(value);                           \
    }

VANTREL_SETTINGS_FIELD(int, version, setVersion, m_version)
VANTREL_SETTINGS_FIELD(bool, showTips, setShowTips, m_showTips)
VANTREL_SETTINGS_FIELD(bool, alwaysUseOriginalSize, setAlwaysUseOriginalSize,
                       m_alwaysUseOriginalSize)
VANTREL_SETTINGS_FIELD(bool, highQualityPreview, setHighQualityPreview, m_highQualityPreview)
VANTREL_SETTINGS_FIELD(bool, activeAlphaChannel, setActiveAlphaChannel, m_activeAlphaChannel)
VANTREL_SETTINGS_FIELD(int, startCount, setStartCount, m_startCount)
VANTREL_SETTINGS_FIELD(bool, realTime, setRealTime, m_realTime)
VANTREL_SETTINGS_FIELD(Size, photoMaxSize, setPhotoMaxSize, m_photoMaxSize)
VANTREL_SETTINGS_FIELD(double, originalScale, setOriginalScale, m_originalScale)
VANTREL_SETTINGS_FIELD(std::string, imageUrl, setImageUrl, m_imageUrl)
VANTREL_SETTINGS_FIELD(Picture, tempLoadImage, setTempLoadImage, m_tempLoadImage)

#undef VANTREL_SETTINGS_FIELD

bool Settings::isSettingSaved() const {
    std::lock_guard lock(m_mutex);
    return m_isSettingSaved;
}

}  // namespace vantrel
