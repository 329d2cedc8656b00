#include "platform/DocumentsDirectory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace vantrel {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

Result<Done> Refused(const std::string& path, int error) {
    return Result<Done>::Failure("Can not create the folder \"" + path + "\": " +
                                 std::error_code(error, std::generic_category()).message() + ".");
}

}  // namespace

std::string HomeFolder() {
    const std::string home = Environment("HOME");
    if (!home.empty()) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] != '\0') {
        return found->pw_dir;
    }
    return "/";
}

std::string DocumentsDirectoryPath() {
    const std::string own = Environment("VANTREL_HOME");
    if (!own.empty()) return own;
    const std::string data = Environment("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/') return data + "/vantrel";
    return HomeFolder() + "/.local/share/vantrel";
}

Result<Done> MakeFolders(const std::string& path, unsigned mode) {
    if (path.empty()) return Result<Done>::Failure("Can not create a folder with no name.");
    if (IsFolder(path)) return Result<Done>::Success(Done{});
    // Every folder from the top down that is missing is made.
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), mode) != 0 &&
            errno != EEXIST) {
            return Refused(part, errno);
        }
        if (slash == std::string::npos) break;
    }
    if (!IsFolder(path)) return Refused(path, ENOTDIR);
    return Result<Done>::Success(Done{});
}

Result<std::string> DocumentsDirectory() {
    const std::string path = DocumentsDirectoryPath();
    const Result<Done> made = MakeFolders(path, 0700);
    if (!made) return Result<std::string>::Failure(made.error());
    return Result<std::string>::Success(path);
}

}  // namespace vantrel
