#include "platform/Resources.h"

#include <fstream>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#ifndef VANTREL_RESOURCES_DIR
#define VANTREL_RESOURCES_DIR ""
#endif

namespace fs = std::filesystem;

namespace vantrel {
namespace {

struct Overrides {
    std::mutex mutex;
    fs::path folder;
    std::map<std::string, fs::path, std::less<>> files;  // "name.type" -> file
};

Overrides& overrides() {
    static Overrides instance;
    return instance;
}

bool isPlainName(std::string_view part) {
    return !part.empty() && part.front() != '.' && part.find('/') == std::string_view::npos &&
           part.find('\0') == std::string_view::npos;
}

std::string fileName(std::string_view name, std::string_view type) {
    std::string file(name);
    file += '.';
    file += type;
    return file;
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The folders of the default search, in order.
std::vector<fs::path> defaultFolders() {
    std::vector<fs::path> folders;
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error && program.has_parent_path()) {
        folders.push_back(program.parent_path());
        folders.push_back(program.parent_path().parent_path() / "share" / "vantrel");
    }
    if (std::string_view(VANTREL_RESOURCES_DIR).size() > 0) {
        folders.emplace_back(VANTREL_RESOURCES_DIR);
    }
    return folders;
}

}  // namespace

void setResourcesFolder(const fs::path& folder) {
    std::lock_guard lock(overrides().mutex);
    overrides().folder = folder;
}

void setResourceFile(std::string_view name, std::string_view type, const fs::path& file) {
    std::lock_guard lock(overrides().mutex);
    if (file.empty()) {
        overrides().files.erase(fileName(name, type));
    } else {
        overrides().files[fileName(name, type)] = file;
    }
}

std::optional<fs::path> findResource(std::string_view name, std::string_view type) {
    return findResource({}, name, type);
}

std::optional<fs::path> findResource(std::string_view folder, std::string_view name,
                                     std::string_view type) {
    if (!isPlainName(name) || !isPlainName(type)) return std::nullopt;
    if (!folder.empty() && !isPlainName(folder)) return std::nullopt;
    const std::string file =
        folder.empty() ? fileName(name, type) : std::string(folder) + "/" + fileName(name, type);
    std::vector<fs::path> folders;
    {
        std::lock_guard lock(overrides().mutex);
        auto set = overrides().files.find(file);
        if (set != overrides().files.end()) {
            return isRegularFile(set->second) ? std::optional(set->second) : std::nullopt;
        }
        if (!overrides().folder.empty()) folders.push_back(overrides().folder);
    }
    if (folders.empty()) folders = defaultFolders();
    for (const fs::path& folder : folders) {
        if (isRegularFile(folder / file)) return folder / file;
    }
    return std::nullopt;
}

std::optional<std::string> readResourceText(std::string_view name, std::string_view type) {
    return readResourceText({}, name, type);
}

std::optional<std::string> readResourceText(std::string_view folder, std::string_view name,
                                            std::string_view type) {
    std::optional<fs::path> path = findResource(folder, name, type);
    if (!path) return std::nullopt;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(*path, error);
    if (error || size > kMaxResourceBytes) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    // A file that shrank meanwhile gives what was there.
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return text;
}

}  // namespace vantrel
