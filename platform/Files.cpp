#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <new>
#include <random>
#include <system_error>

namespace vantrel {
namespace {

std::string Reason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

std::string Failed(const char* verb, const std::string& path, int error) {
    return std::string("Can not ") + verb + " \"" + path + "\": " + Reason(error) + ".";
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now, so that a failing close can be reported; 0 or an errno.
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Reads until `size` bytes are in or the file ends; the count read, or -1.
long long ReadFully(int fd, unsigned char* target, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, target + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

// 0 or an errno.
int WriteFully(int fd, std::span<const unsigned char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return errno;
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

const char* KindOf(mode_t mode) {
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

// What is at the target now: nothing, or a regular file with these
// permission bits.
struct Target {
    bool exists = false;
    mode_t permissions = 0;
};

Result<Target> InspectTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return Result<Target>::Success(Target{});
        return Result<Target>::Failure(Failed("write", path, errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return Result<Target>::Failure("Can not write \"" + path + "\": it is " +
                                       KindOf(status.st_mode) + ", not a regular file.");
    }
    return Result<Target>::Success(Target{true, status.st_mode & 0777});
}

// The folder of `path` and the name in it.
std::pair<std::string, std::string> Split(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A name no other writer picks: the prefix, this process and a random part.
std::string TemporaryName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 draw{std::random_device()()};
    std::string name = std::string(kTemporaryFilePrefix) + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 8; ++i) name += kLetters[draw() % (sizeof kLetters - 1)];
    return name;
}

// The process id in a temporary file's name, or 0.
pid_t WriterOf(std::string_view name) {
    name.remove_prefix(kTemporaryFilePrefix.size());
    pid_t pid = 0;
    for (char c : name) {
        if (c == '-') return pid;
        if (c < '0' || c > '9' || pid > 100'000'000) return 0;
        pid = pid * 10 + (c - '0');
    }
    return 0;
}

bool IsStale(int folder, const char* name, pid_t writer) {
    if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH) return true;
    struct stat status {};
    if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return std::time(nullptr) - status.st_mtime > kStaleTemporaryMinutes * 60;
}

// Removes what killed writers left in the folder. A best effort: what can't
// be listed or removed stays for a later write.
void RemoveStaleTemporaries(int folder) {
    const int listed = ::dup(folder);
    if (listed < 0) return;
    DIR* entries = ::fdopendir(listed);
    if (!entries) {
        ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(kTemporaryFilePrefix)) continue;
        if (IsStale(folder, entry->d_name, WriterOf(name))) ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

// Writes and flushes a new temporary file in the folder; 0 or an errno.
// A replaced file's permissions, narrowed to `allowed`, are set before the
// file gets its name.
int FillTemporary(int folder, const std::string& name, const Target& target,
                  std::span<const unsigned char> bytes, mode_t allowed) {
    Descriptor file(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                             target.exists ? 0600 : 0666 & allowed));
    if (file.get() < 0) return errno;
    if (const int error = WriteFully(file.get(), bytes)) return error;
    if (target.exists && ::fchmod(file.get(), target.permissions & allowed) != 0) return errno;
    if (::fsync(file.get()) != 0) return errno;
    return file.Close();
}

}  // namespace

Result<std::vector<unsigned char>> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    using Outcome = Result<std::vector<unsigned char>>;
    // Non-blocking, so that opening a pipe with no writer does not wait.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return Outcome::Failure(Failed("read", path, errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return Outcome::Failure(Failed("read", path, errno));
    if (!S_ISREG(status.st_mode)) {
        return Outcome::Failure("Can not read \"" + path + "\": it is not a regular file.");
    }
    const auto size = static_cast<unsigned long long>(status.st_size);
    if (size > maxBytes) {
        return Outcome::Failure("Can not read \"" + path + "\": it is larger than " +
                                std::to_string(maxBytes) + " bytes.");
    }
    std::vector<unsigned char> bytes;
    try {
        // One byte more than expected tells a file that grew meanwhile.
        bytes.resize(static_cast<std::size_t>(size) + 1);
    } catch (const std::exception&) {
        return Outcome::Failure("Can not read \"" + path + "\": not enough memory.");
    }
    const long long got = ReadFully(file.get(), bytes.data(), bytes.size());
    if (got < 0) return Outcome::Failure(Failed("read", path, errno));
    if (static_cast<unsigned long long>(got) > size) {
        return Outcome::Failure("Can not read \"" + path + "\": it changed while being read.");
    }
    bytes.resize(static_cast<std::size_t>(got));
    return Outcome::Success(std::move(bytes));
}

Result<Done> CheckReplaceable(const std::string& path) {
    const Result<Target> target = InspectTarget(path);
    return target ? Result<Done>::Success(Done{}) : Result<Done>::Failure(target.error());
}

Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes) {
    return WriteFileAtomically(path, bytes, 0777);
}

Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                                 unsigned allowed) {
    const Result<Target> target = InspectTarget(path);
    if (!target) return Result<Done>::Failure(target.error());
    const auto [folderPath, name] = Split(path);
    Descriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) return Result<Done>::Failure(Failed("write", path, errno));
    RemoveStaleTemporaries(folder.get());

    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
        temporary = TemporaryName();
        error = FillTemporary(folder.get(), temporary, target.value(), bytes, allowed);
        if (error != 0 && error != EEXIST) ::unlinkat(folder.get(), temporary.c_str(), 0);
    }
    if (error != 0) return Result<Done>::Failure(Failed("write", path, error));
    if (::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0) {
        error = errno;
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return Result<Done>::Failure(Failed("write", path, error));
    }
    // Makes the rename itself durable; a failure here loses nothing written.
    ::fsync(folder.get());
    return Result<Done>::Success(Done{});
}

}  // namespace vantrel
