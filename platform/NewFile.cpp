#include "platform/NewFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>
#include <system_error>

#include "platform/Files.h"

namespace vantrel {
namespace {

std::string Reason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

NewFileOutcome Failed(const std::string& path, int error) {
    return {NewFileOutcome::Kind::Failed, "Can not write \"" + path + "\": " + Reason(error) + "."};
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// 0 or an errno.
int WriteAll(int fd, std::span<const unsigned char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return errno;
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

// A name beside `path` that no other writer uses at the same time, in the
// form every temporary file of the program has (platform/Files.h), so that
// listings pass over it and the clean-up of killed writers knows it.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned long> counter{0};
    return FolderOf(path) + "/" + std::string(kTemporaryFilePrefix) + std::to_string(::getpid()) +
           "-new-" + std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
}

// A flushed hidden temporary file beside `path`; its name, or an errno.
int FillTemporary(const std::string& path, std::span<const unsigned char> bytes,
                  std::string& temporary) {
    int fd = -1;
    // A name left behind by a crashed writer with our pid is skipped.
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = TemporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}

// Gives the temporary file its name unless the name is taken; 0 or an errno.
int TakeName(const std::string& temporary, const std::string& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // The file system can't refuse to replace in a rename: a hard link can.
    if (::link(temporary.c_str(), path.c_str()) != 0) return errno;
    ::unlink(temporary.c_str());
    return 0;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

NewFileOutcome WriteNewFile(const std::string& path, std::span<const unsigned char> bytes) {
    if (::access(path.c_str(), F_OK) == 0) {
        return {NewFileOutcome::Kind::NameTaken, "\"" + path + "\" exists already."};
    }
    std::string temporary;
    if (const int error = FillTemporary(path, bytes, temporary)) return Failed(path, error);
    const int error = TakeName(temporary, path);
    if (error != 0) {
        ::unlink(temporary.c_str());
        if (error == EEXIST) {
            return {NewFileOutcome::Kind::NameTaken, "\"" + path + "\" exists already."};
        }
        return Failed(path, error);
    }
    SyncFolder(path);
    return {NewFileOutcome::Kind::Written, {}};
}

}  // namespace vantrel
