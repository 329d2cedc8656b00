// ImageCacheManager: rendered pictures kept under a name so that they need
// not be computed again (the look panels' previews), in memory, as PNG files
// in the documents directory, or both.
//
// Save modes: 0 memory only, 1 disk only, 2 memory then disk (loading: memory,
// then disk if not in memory). Any other mode stores and finds nothing.
//
// On disk a picture is the PNG file named by the cache name, written
// atomically. Names are made safe for the file system by a reversible
// escape: "%" becomes "%25", "/" "%2F", "\" "%5C", NUL "%00" and each leading
// "." "%2E"; every other name is its own file name. So "Vibrant Blue /
// Purple" is kept as "Vibrant Blue %2F Purple", and no name reaches outside
// the folder. An empty name is never written.
//
// Memory entries live until removeAllImageCache (a panel closing, low
// memory); files are never deleted here, and a later save under the same
// name replaces them.
//
// Threads: saves and loads come from any thread. cacheSem (a counting
// semaphore of count 1) serialises disk writes and every
// loadImageCacheForName; the memory step of a save does not take it.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dispatch.h"
#include "platform/Picture.h"

namespace vantrel {

class ImageCacheManager {
public:
    // A cache whose files go to `folder` (none are written when it is empty).
    explicit ImageCacheManager(std::string folder);
    ImageCacheManager(const ImageCacheManager&) = delete;
    ImageCacheManager& operator=(const ImageCacheManager&) = delete;

    // The program's cache, in the documents directory, created on first use.
    static ImageCacheManager& sharedManager();

    // The file name of a cache name, and back (nothing for a file name that
    // no cache name gives).
    static std::string fileNameForName(std::string_view name);
    static std::optional<std::string> nameForFileName(std::string_view fileName);

    // Mode 0: true. Mode 1: whether the file was written. Mode 2: stored in
    // memory, then true only if the file was written. An empty picture
    // removes the memory entry (and writes no file).
    bool saveImageCache(const Picture& picture, std::string_view name, int saveMode);
    // The picture, or an empty one when it is not found or the file is no
    // picture. A picture read from disk is not put back into memory.
    Picture loadImageCacheForName(std::string_view name, int saveMode);
    // A plain memory look-up, without the semaphore.
    Picture loadImageMemCacheByName(std::string_view name) const;
    // Empties the memory part; files stay.
    void removeAllImageCache();

    std::map<std::string, Picture> imageCache() const;
    void setImageCache(std::map<std::string, Picture> imageCache);

    const std::string& folder() const { return m_folder; }

private:
    void storeInMemory(const Picture& picture, std::string_view name);
    bool writeToDisk(const Picture& picture, std::string_view name);
    Picture readFromDisk(std::string_view name);

    const std::string m_folder;
    mutable std::mutex m_memoryMutex;
    std::map<std::string, Picture> m_imageCache;
    DispatchSemaphore m_cacheSem{1};
};

}  // namespace vantrel
