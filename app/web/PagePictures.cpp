#include "app/web/PagePictures.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "platform/Files.h"
#include "platform/PictureCodec.h"
#include "platform/PictureScaling.h"

namespace vantrel::web {
namespace {

// Cached reductions are small; anything larger in the folder is not ours.
constexpr std::size_t kMaxCachedBytes = std::size_t{16} << 20;

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

int SideOf(LibraryPictureSize size) {
    return size == LibraryPictureSize::Thumbnail ? 320 : 1440;
}

Picture FitInside(const Picture& picture, int side) {
    const int longer = std::max(picture.width(), picture.height());
    if (longer <= side) return picture;
    const double k = static_cast<double>(side) / longer;
    const int width = std::max(1, static_cast<int>(picture.width() * k + 0.5));
    const int height = std::max(1, static_cast<int>(picture.height() * k + 0.5));
    return ScalePicture(picture, width, height);
}

std::string AsText(const std::vector<unsigned char>& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

bool IsOpaque(const Picture& picture) {
    const unsigned char* pixels = picture.data();
    const std::size_t count = static_cast<std::size_t>(picture.width()) * picture.height();
    for (std::size_t i = 0; i < count; ++i) {
        if (pixels[i * 4 + 3] != 255) return false;
    }
    return true;
}

Result<EncodedPicture> EncodeForPage(const Picture& picture, int quality) {
    if (picture.empty()) return Result<EncodedPicture>::Failure("There is no picture.");
    const bool opaque = IsOpaque(picture);
    const Result<std::vector<unsigned char>> bytes =
        EncodePicture(picture, opaque ? PictureFormat::Jpeg : PictureFormat::Png, quality);
    if (!bytes) return Result<EncodedPicture>::Failure(bytes.error());
    return Result<EncodedPicture>::Success(
        EncodedPicture{opaque ? "image/jpeg" : "image/png", AsText(bytes.value())});
}

bool EncodedPictureCache::find(const std::string& key, EncodedPicture& found) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->first == key) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            found = m_entries.front().second;
            return true;
        }
    }
    return false;
}

void EncodedPictureCache::add(const std::string& key, EncodedPicture picture) {
    std::lock_guard lock(m_mutex);
    m_entries.emplace_front(key, std::move(picture));
    if (m_entries.size() > kEntries) m_entries.pop_back();
}

LibraryPictures::LibraryPictures(std::string cacheFolder) : m_folder(std::move(cacheFolder)) {}

Result<EncodedPicture> LibraryPictures::get(const PhotoLibrary& library,
                                            const std::string& reference, LibraryPictureSize size) {
    const Result<std::string> found = library.pathOf(reference);
    // The photo's identity for the cache: its place, time and size.
    struct stat facts {};
    if (!found || lstat(found.value().c_str(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
        return Result<EncodedPicture>::Failure("There is no such photo in the library.");
    }
    const std::string identity =
        library.folder() + "\n" + reference + "\n" + std::to_string(facts.st_mtim.tv_sec) + "." +
        std::to_string(facts.st_mtim.tv_nsec) + "\n" + std::to_string(facts.st_size) + "\n" +
        std::to_string(SideOf(size));
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Fnv1a(identity)));
    const std::string cached = m_folder + "/" + name;
    for (const char* type : {".jpg", ".png"}) {
        const Result<std::vector<unsigned char>> bytes =
            ReadWholeFile(cached + type, kMaxCachedBytes);
        if (bytes) {
            return Result<EncodedPicture>::Success(
                EncodedPicture{type[1] == 'j' ? "image/jpeg" : "image/png", AsText(bytes.value())});
        }
    }
    m_slots.acquire();
    Result<Picture> photo = library.loadPicture(reference);
    Result<EncodedPicture> encoded = photo
                                         ? EncodeForPage(FitInside(photo.value(), SideOf(size)), 85)
                                         : Result<EncodedPicture>::Failure(photo.error());
    photo = Result<Picture>::Failure("");
    m_slots.release();
    if (!encoded) return encoded;
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    const std::string& bytes = encoded.value().bytes;
    // A cache that can't be written only costs time later.
    (void)WriteFileAtomically(
        cached + (encoded.value().contentType == "image/jpeg" ? ".jpg" : ".png"),
        std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    return encoded;
}

}  // namespace vantrel::web
