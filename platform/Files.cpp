#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>
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

std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned long> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes and flushes the temporary file; 0 or an errno.
int FillTemporary(const std::string& temporary, std::span<const unsigned char> bytes,
                  unsigned mode) {
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (file.get() < 0) return errno;
    if (const int error = WriteFully(file.get(), bytes)) return error;
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

Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes) {
    return WriteFileAtomically(path, bytes, 0666);
}

Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                                 unsigned mode) {
    std::string temporary;
    int error = EEXIST;
    // A name left behind by a crashed writer with our pid is skipped.
    for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
        temporary = TemporaryName(path);
        error = FillTemporary(temporary, bytes, mode);
        if (error != 0 && error != EEXIST) ::unlink(temporary.c_str());
    }
    if (error != 0) return Result<Done>::Failure(Failed("write", path, error));
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return Result<Done>::Failure(Failed("write", path, error));
    }
    SyncFolder(path);
    return Result<Done>::Success(Done{});
}

}  // namespace vantrel
