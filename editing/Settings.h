// Settings: the one shared record of the user's preferences and of the few
// values that the photo intake hands to the edit screen.
//
// Six fields are stored in "setting.plist" in the documents directory, as a
// property list holding exactly "Version" and "StartCount" (integers) and
// "ShowTips", "AlwaysUseOriginalSize", "HighQualityPreview" and
// "EnableAlphaChannel" (booleans); the others live only while the program
// runs. The start count grows each time the stored record is loaded, which
// drives the one-time rate request of the start sequence.
//
// Files are outside input: a missing file, or one that can't be decoded (not
// a property list, larger than kMaxSettingsFileBytes, a stored key of the
// wrong kind, an integer beyond 32 bits), gives the start values. A key that
// is missing decodes as 0 or false, as a keyed archive's does.
//
// Threads: every accessor may be called from any thread.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "Core/global/Records.h"
#include "platform/Picture.h"
#include "platform/PropertyList.h"

namespace vantrel {

class UIServices;

inline constexpr int kSettingsVersion = 203;
inline constexpr char kSettingsFileName[] = "setting.plist";
inline constexpr std::size_t kMaxSettingsFileBytes = 64 * 1024;
// The start count at which the rate request is shown: the sixth start.
inline constexpr int kRateRequestStartCount = 5;

class Settings {
public:
    // The start values, kept in `file` by save() (nowhere when empty).
    explicit Settings(std::string file = {});
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The record of `file`: decoded (initWithCoder) when it holds a settings
    // property list, else the start values.
    static std::unique_ptr<Settings> loadFromFile(const std::string& file);

    // The program's record, loaded from the documents directory on first use.
    static Settings& sharedSettings();

    int version() const;
    void setVersion(int version);
    bool showTips() const;
    void setShowTips(bool showTips);
    bool alwaysUseOriginalSize() const;
    void setAlwaysUseOriginalSize(bool alwaysUseOriginalSize);
    bool highQualityPreview() const;
    void setHighQualityPreview(bool highQualityPreview);
    bool activeAlphaChannel() const;
    void setActiveAlphaChannel(bool activeAlphaChannel);
    int startCount() const;
    void setStartCount(int startCount);

    bool realTime() const;
    void setRealTime(bool realTime);
    Size photoMaxSize() const;
    void setPhotoMaxSize(Size photoMaxSize);
    double originalScale() const;
    void setOriginalScale(double originalScale);
    // The library reference of the photo being edited; empty for none.
    std::string imageUrl() const;
    void setImageUrl(std::string imageUrl);
    Picture tempLoadImage() const;
    void setTempLoadImage(Picture tempLoadImage);
    bool isSettingSaved() const;

    // Decoding: the start values, then, when the stored "Version" is not 0,
    // the six stored values and isSettingSaved; in every case startCount + 1.
    void initWithCoder(const PropertyList& coder);
    PropertyList encodeWithCoder() const;

    // Writes the record to its file atomically. A failed write is not
    // reported to the user; the result is for the caller's log and tests.
    bool save() const;

    // The start sequence: a version below 203 becomes 203 with the start
    // count reset; at a start count of exactly 5 the rate request is shown
    // (an alert "STR_THANKS" / "STR_RATEIT" with "STR_NEXT_TIME" and
    // "STR_OK"; "STR_OK" opens `storeUrl`).
    void runStartSequence(UIServices& ui, const std::string& storeUrl);

private:
    // The six stored keys of a coder, or nothing when one has the wrong kind.
    struct Stored;
    static std::optional<Stored> decodeStored(const PropertyList& coder);

    const std::string m_file;
    mutable std::mutex m_mutex;
    int m_version = kSettingsVersion;
    bool m_showTips = true;
    bool m_alwaysUseOriginalSize = false;
    bool m_highQualityPreview = true;
    bool m_activeAlphaChannel = false;
    int m_startCount = 0;
    bool m_realTime = false;
    Size m_photoMaxSize{2592, 2592};
    double m_originalScale = 0.0;
    std::string m_imageUrl;
    Picture m_tempLoadImage;
    bool m_isSettingSaved = false;
};

}  // namespace vantrel
