#include "platform/SecureRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>

namespace vantrel {

Result<std::string> RandomHexText(std::size_t byteCount) {
    using Outcome = Result<std::string>;
    unsigned char bytes[256];
    if (byteCount == 0 || byteCount > sizeof bytes) {
        return Outcome::Failure("Can not make " + std::to_string(byteCount) +
                                " random bytes: 1 to 256 can be asked for.");
    }
    std::size_t filled = 0;
    while (filled < byteCount) {
        const ssize_t got = ::getrandom(bytes + filled, byteCount - filled, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            return Outcome::Failure("Can not read the random source: " +
                                    std::error_code(errno, std::generic_category()).message() +
                                    ".");
        }
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(byteCount * 2);
    for (std::size_t i = 0; i < byteCount; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return Outcome::Success(std::move(text));
}

}  // namespace vantrel
