// Pictures as the pages get them: the editor's pictures encoded for a
// browser (JPEG when opaque, PNG when any pixel is transparent), kept for a
// while by URL so that several pages asking for one picture encode it once;
// and the library's photos reduced for the grid and for the photo view,
// made by the server and kept as files in the documents directory.
//
// Threads: any; the library reductions run at most two at a time, so that a
// page asking for a whole grid of 12-megapixel photos can't take the
// machine's memory.
#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <semaphore>
#include <string>
#include <string_view>
#include <utility>

#include "platform/PhotoLibrary.h"
#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel::web {

struct EncodedPicture {
    std::string contentType;  // "image/jpeg" or "image/png"
    std::string bytes;
};

// Whether every pixel is fully opaque.
bool IsOpaque(const Picture& picture);

// JPEG at `quality` for an opaque picture, else PNG.
Result<EncodedPicture> EncodeForPage(const Picture& picture, int quality = 90);

// The latest encodings by key.
class EncodedPictureCache {
public:
    static constexpr std::size_t kEntries = 24;

    bool find(const std::string& key, EncodedPicture& found);
    void add(const std::string& key, EncodedPicture picture);

private:
    std::mutex m_mutex;
    std::list<std::pair<std::string, EncodedPicture>> m_entries;  // newest first
};

// How a library photo is reduced.
enum class LibraryPictureSize {
    Thumbnail,  // fits 320 x 320: the grid
    Screen,     // fits 1440 x 1440: the photo view
};

class LibraryPictures {
public:
    // `cacheFolder` keeps the reductions (made when missing).
    explicit LibraryPictures(std::string cacheFolder);

    // The reduction of `reference` in `library`, as JPEG (PNG when
    // transparent). Refused for a reference that is not a library photo.
    Result<EncodedPicture> get(const PhotoLibrary& library, const std::string& reference,
                               LibraryPictureSize size);

private:
    std::string m_folder;
    std::counting_semaphore<2> m_slots{2};
};

}  // namespace vantrel::web
