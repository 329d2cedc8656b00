// UserDefaults: a small keyed store of the user's values that outlive the
// program (the sharing logins' tokens), kept as a property list file.
//
// Values are texts and reals. The file is read once, when the store is made;
// synchronize() writes every value atomically to a file created with mode
// 0600, since the values are the user's credentials. A missing file is an
// empty store; a file that can't be read (not a property list, larger than
// kMaxUserDefaultsBytes) is also an empty store, and the next write replaces
// it. Values of other kinds in the file are dropped.
//
// Threads: every member may be called from any thread.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Result.h"

namespace vantrel {

inline constexpr char kUserDefaultsFileName[] = "UserDefaults.plist";
inline constexpr std::size_t kMaxUserDefaultsBytes = 256 * 1024;

class UserDefaults {
public:
    using Value = std::variant<std::string, double>;

    // The store kept in `file`, as the file holds it now.
    explicit UserDefaults(std::string file);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The program's store, in the documents directory, made on first use.
    static UserDefaults& standardUserDefaults();

    std::optional<std::string> stringForKey(std::string_view key) const;
    std::optional<double> doubleForKey(std::string_view key) const;
    bool hasKey(std::string_view key) const;

    void setObject(std::string_view key, Value value);
    void removeObjectForKey(std::string_view key);

    // Writes the values to the file; the error says why it could not.
    Result<Done> synchronize() const;

    const std::string& file() const { return m_file; }

private:
    const std::string m_file;
    mutable std::mutex m_writeMutex;  // one write at a time, the newest values last
    mutable std::mutex m_mutex;
    std::map<std::string, Value, std::less<>> m_values;
};

}  // namespace vantrel
