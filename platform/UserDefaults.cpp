#include "platform/UserDefaults.h"

#include "Core/global/TiLog.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/PropertyList.h"

namespace vantrel {

UserDefaults::UserDefaults(std::string file) : m_file(std::move(file)) {
    const auto bytes = ReadWholeFile(m_file, kMaxUserDefaultsBytes);
    if (!bytes) return;  // missing or unreadable: an empty store
    const Result<PropertyList> list = ReadPropertyList(bytes.value());
    if (!list) {
        TiLog("UserDefaults: %s is not a property list; starting empty", m_file.c_str());
        return;
    }
    for (const auto& [key, value] : list.value().entries()) {
        if (const auto* text = std::get_if<std::string>(&value)) m_values[key] = *text;
        if (const auto* real = std::get_if<double>(&value)) m_values[key] = *real;
    }
}

UserDefaults& UserDefaults::standardUserDefaults() {
    static UserDefaults* shared = [] {
        const Result<std::string> folder = DocumentsDirectory();
        // Without a documents directory nothing can be kept; the store still
        // works for this run and its writes fail.
        const std::string base = folder ? folder.value() : DocumentsDirectoryPath();
        return new UserDefaults(base + "/" + kUserDefaultsFileName);
    }();
    return *shared;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_values.find(key);
    if (found == m_values.end()) return std::nullopt;
    if (const auto* text = std::get_if<std::string>(&found->second)) return *text;
    return std::nullopt;
}

std::optional<double> UserDefaults::doubleForKey(std::string_view key) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_values.find(key);
    if (found == m_values.end()) return std::nullopt;
    if (const auto* real = std::get_if<double>(&found->second)) return *real;
    return std::nullopt;
}

bool UserDefaults::hasKey(std::string_view key) const {
    std::lock_guard lock(m_mutex);
    return m_values.find(key) != m_values.end();
}

void UserDefaults::setObject(std::string_view key, Value value) {
    std::lock_guard lock(m_mutex);
    m_values.insert_or_assign(std::string(key), std::move(value));
}

void UserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(m_mutex);
    if (const auto found = m_values.find(key); found != m_values.end()) m_values.erase(found);
}

Result<Done> UserDefaults::synchronize() const {
    std::lock_guard writing(m_writeMutex);
    PropertyList list;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [key, value] : m_values) {
            if (const auto* text = std::get_if<std::string>(&value)) list.set(key, *text);
            if (const auto* real = std::get_if<double>(&value)) list.set(key, *real);
        }
    }
    const Result<std::vector<unsigned char>> bytes = WritePropertyList(list);
    if (!bytes) return Result<Done>::Failure(bytes.error());
    return WriteFileAtomically(m_file, bytes.value(), 0600);
}

}  // namespace vantrel
