#include "platform/PhotoLibrary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>

#include "platform/DocumentsDirectory.h"
#include "platform/NewFile.h"
#include "platform/PictureCodec.h"
#include "platform/UprightPhoto.h"

namespace vantrel {
namespace {

// No name in a folder is longer; a longer reference is no reference.
constexpr std::size_t kMaxReferenceBytes = 4096;
// Distinct names tried for one new picture before giving up.
constexpr int kMaxNameAttempts = 1000;

struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

bool IsPhotoName(std::string_view name) {
    return !name.empty() && name.front() != '.' && PictureFormatForPath(name).has_value();
}

std::int64_t ModifiedNanoseconds(const struct stat& status) {
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
           status.st_mtim.tv_nsec;
}

// The photos directly in `folder`, their references prefixed with `prefix`;
// their subfolders' names into `subfolders` when asked for.
void ListFolder(const std::string& folder, const std::string& prefix,
                std::vector<LibraryPhoto>& photos, std::vector<std::string>* subfolders) {
    const std::unique_ptr<DIR, CloseFolder> listing(::opendir(folder.c_str()));
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (photos.size() >= kMaxLibraryPhotos) return;
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.') continue;
        struct stat status {};
        if (::lstat((folder + "/" + name).c_str(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            if (subfolders) subfolders->push_back(name);
        } else if (S_ISREG(status.st_mode) && IsPhotoName(name)) {
            photos.push_back({prefix + name, ModifiedNanoseconds(status)});
        }
    }
}

std::string XdgUserDirsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder =
        config && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
    return folder + "/user-dirs.dirs";
}

// The XDG_PICTURES_DIR line of user-dirs.dirs, "$HOME" expanded as
// xdg-user-dir does; empty when there is none.
std::string PicturesFolderFromUserDirs() {
    std::ifstream file(XdgUserDirsFile());
    std::string line;
    std::string found;
    for (int lines = 0; lines < 1000 && std::getline(file, line); ++lines) {
        const std::string key = "XDG_PICTURES_DIR=\"";
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = HomeFolder() + value.substr(5);
        if (!value.empty() && value.front() == '/') found = value;
    }
    return found;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d_%H%M%S", &local);
    return text;
}

}  // namespace

std::string PhotoLibrary::DefaultFolder() {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures && pictures[0] == '/') return pictures;
    const std::string fromUserDirs = PicturesFolderFromUserDirs();
    if (!fromUserDirs.empty()) return fromUserDirs;
    return HomeFolder() + "/Pictures";
}

bool PhotoLibrary::isAvailable() const {
    const std::unique_ptr<DIR, CloseFolder> listing(::opendir(m_folder.c_str()));
    return listing != nullptr;
}

Result<std::vector<LibraryPhoto>> PhotoLibrary::listPhotos() const {
    using Outcome = Result<std::vector<LibraryPhoto>>;
    if (!isAvailable()) {
        return Outcome::Failure("Can not read the photo library \"" + m_folder + "\".");
    }
    std::vector<LibraryPhoto> photos;
    std::vector<std::string> subfolders;
    ListFolder(m_folder, "", photos, &subfolders);
    for (const std::string& subfolder : subfolders) {
        ListFolder(m_folder + "/" + subfolder, subfolder + "/", photos, nullptr);
    }
    std::sort(photos.begin(), photos.end(), [](const LibraryPhoto& a, const LibraryPhoto& b) {
        if (a.modifiedNanoseconds != b.modifiedNanoseconds) {
            return a.modifiedNanoseconds > b.modifiedNanoseconds;
        }
        return a.reference < b.reference;
    });
    return Outcome::Success(std::move(photos));
}

bool PhotoLibrary::IsValidReference(std::string_view reference) {
    if (reference.empty() || reference.size() > kMaxReferenceBytes) return false;
    if (reference.find('\0') != std::string_view::npos) return false;
    const std::size_t slash = reference.find('/');
    if (slash != std::string_view::npos) {
        const std::string_view folder = reference.substr(0, slash);
        const std::string_view name = reference.substr(slash + 1);
        // One level of folders, none hidden, none "." or "..".
        return !folder.empty() && folder.front() != '.' &&
               name.find('/') == std::string_view::npos && IsPhotoName(name);
    }
    return IsPhotoName(reference);
}

namespace {

// Whether `reference` names a regular file inside the library, through a
// real folder: links are not followed out of it.
bool NamesPhotoFile(const std::string& folder, std::string_view reference) {
    struct stat status {};
    const std::size_t slash = reference.find('/');
    if (slash != std::string_view::npos) {
        std::string subfolder = folder;
        subfolder.append("/").append(reference.substr(0, slash));
        if (::lstat(subfolder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    }
    std::string path = folder;
    path.append("/").append(reference);
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

Result<std::string> PhotoLibrary::pathOf(std::string_view reference) const {
    // Texts are built by appending: GCC 12 warns falsely on "literal" + string.
    if (!IsValidReference(reference) || !NamesPhotoFile(m_folder, reference)) {
        return Result<std::string>::Failure(
            std::string("\"").append(reference).append("\" is no photo of the library."));
    }
    return Result<std::string>::Success(std::string(m_folder).append("/").append(reference));
}

Result<Picture> PhotoLibrary::loadPicture(std::string_view reference) const {
    using Outcome = Result<Picture>;
    const Result<std::string> found = pathOf(reference);
    if (!found) return Outcome::Failure(found.error());
    const std::string& path = found.value();
    Result<Picture> picture = ReadPictureFile(path);
    if (!picture) return picture;
    Picture fitted = FitLongestSide(picture.value());
    if (fitted.empty()) {
        return Outcome::Failure(
            std::string("Can not load \"").append(path).append("\": not enough memory."));
    }
    return Outcome::Success(std::move(fitted));
}

Result<std::string> PhotoLibrary::addPicture(const Picture& picture, bool keepTransparency) const {
    const PictureFormat format = keepTransparency ? PictureFormat::Png : PictureFormat::Jpeg;
    const Result<std::vector<unsigned char>> bytes =
        EncodePicture(picture, format, kLibraryJpegQuality);
    if (!bytes) return Result<std::string>::Failure(bytes.error());
    const std::string name =
        std::string("Vantrel_") + TimeStamp() + (keepTransparency ? ".png" : ".jpg");
    return addFile(kLibrarySaveFolder, name, bytes.value());
}

Result<std::string> PhotoLibrary::addFile(std::string_view subfolder, std::string_view fileName,
                                          std::span<const unsigned char> bytes) const {
    using Outcome = Result<std::string>;
    const std::string reference = std::string(subfolder) + "/" + std::string(fileName);
    const std::size_t dot = fileName.rfind('.');
    if (!IsValidReference(reference) || dot == std::string_view::npos) {
        return Outcome::Failure("\"" + reference + "\" is not a name for a photo of the library.");
    }
    const std::string folder = m_folder + "/" + std::string(subfolder);
    const Result<Done> made = MakeFolders(folder, 0777);
    if (!made) return Outcome::Failure(made.error());
    const std::string_view stem = fileName.substr(0, dot);
    const std::string_view extension = fileName.substr(dot);
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        std::string name(stem);
        if (attempt > 1) name.append("_").append(std::to_string(attempt));
        name.append(extension);
        const NewFileOutcome written = WriteNewFile(folder + "/" + name, bytes);
        if (written.written()) {
            return Outcome::Success(std::string(subfolder).append("/").append(name));
        }
        if (written.kind == NewFileOutcome::Kind::Failed) return Outcome::Failure(written.error);
    }
    return Outcome::Failure("Can not find a free name for a new photo in \"" + folder + "\".");
}

}  // namespace vantrel
