// The photo library: a folder of PNG and JPEG photos.
//
// The library lists the photos in its folder and in the folders directly
// inside it (one level), newest first, each under a stable reference: its
// path relative to the folder ("beach.jpg", "2024/party.png"). Hidden names
// (starting with "."), symbolic links and anything that is not a regular
// file or folder are left out. Loading a photo gives it upright (its EXIF
// orientation applied by the codecs) and fitted to the intake limit
// (platform/UprightPhoto.h). A finished picture is added to the "Vantrel"
// folder inside the library as a new file that never replaces another:
// JPEG at quality 92, or PNG when transparency is to be kept.
//
// The folder is the shells' --library, else $XDG_PICTURES_DIR, else the
// pictures folder of the user's user-dirs.dirs (as xdg-user-dir reports it),
// else ~/Pictures.
//
// Threads: a PhotoLibrary holds only its folder's path; its calls may run on
// any thread at once.
//
// Failure: an error text meant for a person; nothing is thrown. References
// are outside input: one that is absolute, climbs out with "..", names a
// hidden or deeper file, or names something that is not a PNG or JPEG file
// is refused before anything is opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

// Listing stops after this many photos, so that a huge folder can't take
// the machine's memory.
constexpr std::size_t kMaxLibraryPhotos = 100000;
constexpr int kLibraryJpegQuality = 92;
inline constexpr char kLibrarySaveFolder[] = "Vantrel";

struct LibraryPhoto {
    std::string reference;
    std::int64_t modifiedNanoseconds = 0;  // since the epoch
};

class PhotoLibrary {
public:
    explicit PhotoLibrary(std::string folder) : m_folder(std::move(folder)) {}

    // The library folder as the environment gives it (see above).
    static std::string DefaultFolder();

    const std::string& folder() const { return m_folder; }

    // Whether the folder can be listed.
    bool isAvailable() const;

    // Every photo, newest first (equal times by reference).
    Result<std::vector<LibraryPhoto>> listPhotos() const;

    // Whether `reference` has the form of a library reference (see above).
    static bool IsValidReference(std::string_view reference);

    // The file of `reference`: refused, as loadPicture refuses it, unless
    // it is a library photo reached through real folders.
    Result<std::string> pathOf(std::string_view reference) const;

    // The photo of `reference`, upright and within the intake limit.
    Result<Picture> loadPicture(std::string_view reference) const;

    // Writes `picture` as a new file in the "Vantrel" folder (made when
    // missing) and gives its reference. Fails, writing nothing, when the
    // folder can't be made or the file can't be written whole.
    Result<std::string> addPicture(const Picture& picture, bool keepTransparency) const;

    // Writes a photo file as it came (an upload, its metadata kept) as a new
    // file named `fileName` in the folder `subfolder` of the library (made
    // when missing); a taken name gets "_2", "_3", ... before its
    // extension. Gives its reference; refuses names that would not make a
    // library reference.
    Result<std::string> addFile(std::string_view subfolder, std::string_view fileName,
                                std::span<const unsigned char> bytes) const;

private:
    std::string m_folder;
};

}  // namespace vantrel
