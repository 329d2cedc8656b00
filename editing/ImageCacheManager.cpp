#include "editing/ImageCacheManager.h"

#include "Core/global/TiLog.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"

namespace vantrel {
namespace {

// Holds a semaphore's unit for the life of the scope.
class SemaphoreHold {
public:
    explicit SemaphoreHold(DispatchSemaphore& semaphore) : m_semaphore(semaphore) {
        m_semaphore.wait();
    }
    ~SemaphoreHold() { m_semaphore.signal(); }
    SemaphoreHold(const SemaphoreHold&) = delete;
    SemaphoreHold& operator=(const SemaphoreHold&) = delete;

private:
    DispatchSemaphore& m_semaphore;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

ImageCacheManager::ImageCacheManager(std::string folder) : m_folder(std::move(folder)) {}

ImageCacheManager& ImageCacheManager::sharedManager() {
    // Never destroyed: background writes may still be running at exit.
    static ImageCacheManager& shared = *[] {
        const Result<std::string> folder = DocumentsDirectory();
        if (!folder) TiLog("%s", folder.error().c_str());
        return new ImageCacheManager(folder ? folder.value() : std::string());
    }();
    return shared;
}

std::string ImageCacheManager::fileNameForName(std::string_view name) {
    std::string fileName;
    bool leading = true;
    for (const char c : name) {
        leading = leading && c == '.';
        if (leading) {
            fileName += "%2E";
        } else if (c == '%') {
            fileName += "%25";
        } else if (c == '/') {
            fileName += "%2F";
        } else if (c == '\\') {
            fileName += "%5C";
        } else if (c == '\0') {
            fileName += "%00";
        } else {
            fileName += c;
        }
    }
    return fileName;
}

std::optional<std::string> ImageCacheManager::nameForFileName(std::string_view fileName) {
    std::string name;
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        if (fileName[i] != '%') {
            name += fileName[i];
            continue;
        }
        if (i + 2 >= fileName.size()) return std::nullopt;
        const int high = HexDigit(fileName[i + 1]);
        const int low = HexDigit(fileName[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    // Only the escape's own output maps back.
    if (fileNameForName(name) != fileName) return std::nullopt;
    return name;
}

bool ImageCacheManager::saveImageCache(const Picture& picture, std::string_view name,
                                       int saveMode) {
    switch (saveMode) {
        case 0:
            storeInMemory(picture, name);
            return true;
        case 1:
            return writeToDisk(picture, name);
        case 2:
            storeInMemory(picture, name);
            return writeToDisk(picture, name);
        default:
            return false;
    }
}

Picture ImageCacheManager::loadImageCacheForName(std::string_view name, int saveMode) {
    SemaphoreHold hold(m_cacheSem);
    switch (saveMode) {
        case 2: {
            Picture found = loadImageMemCacheByName(name);
            return found.empty() ? readFromDisk(name) : found;
        }
        case 1:
            return readFromDisk(name);
        case 0:
            return loadImageMemCacheByName(name);
        default:
            return Picture();
    }
}

Picture ImageCacheManager::loadImageMemCacheByName(std::string_view name) const {
    std::lock_guard lock(m_memoryMutex);
    const auto found = m_imageCache.find(std::string(name));
    return found == m_imageCache.end() ? Picture() : found->second;
}

void ImageCacheManager::removeAllImageCache() {
    std::lock_guard lock(m_memoryMutex);
    m_imageCache.clear();
}

std::map<std::string, Picture> ImageCacheManager::imageCache() const {
    std::lock_guard lock(m_memoryMutex);
    return m_imageCache;
}

void ImageCacheManager::setImageCache(std::map<std::string, Picture> imageCache) {
    std::lock_guard lock(m_memoryMutex);
    m_imageCache = std::move(imageCache);
}

void ImageCacheManager::storeInMemory(const Picture& picture, std::string_view name) {
    std::lock_guard lock(m_memoryMutex);
    if (picture.empty()) {
        m_imageCache.erase(std::string(name));
    } else {
        m_imageCache[std::string(name)] = picture;
    }
    TiLog("image cache holds %d pictures", static_cast<int>(m_imageCache.size()));
}

bool ImageCacheManager::writeToDisk(const Picture& picture, std::string_view name) {
    if (m_folder.empty() || name.empty() || picture.empty()) return false;
    const std::string path = m_folder + "/" + fileNameForName(name);
    SemaphoreHold hold(m_cacheSem);
    TiLog("saveImageCache %s", path.c_str());
    const Result<std::vector<unsigned char>> png = EncodePicture(picture, PictureFormat::Png);
    return png && WriteFileAtomically(path, png.value()).ok();
}

Picture ImageCacheManager::readFromDisk(std::string_view name) {
    if (m_folder.empty() || name.empty()) return Picture();
    const std::string path = m_folder + "/" + fileNameForName(name);
    TiLog("loadImageCache %s", path.c_str());
    const Result<std::vector<unsigned char>> bytes = ReadWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) return Picture();
    Result<Picture> picture = DecodePicture(bytes.value());
    return picture ? std::move(picture).value() : Picture();
}

}  // namespace vantrel
