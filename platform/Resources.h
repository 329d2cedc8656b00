// The application's resources: named files such as the named-actions
// resource ("actions", "json" -> actions.json).
//
// A resource NAME of TYPE is the file NAME.TYPE, looked for in order:
//   1. the file set for it with setResourceFile, when one is set (only there);
//   2. the folder set with setResourcesFolder, when one is set (only there);
//   3. the running program's folder, then that folder's ../share/vantrel
//      (an installed program);
//   4. the source tree's resources/ folder (a program run from its build).
// A resource may sit in a plain subfolder of those places (FOLDER/NAME.TYPE:
// "strings", "en", "json" is strings/en.json); setResourceFile names it as
// "FOLDER/NAME".
// A resource that is not found, cannot be read or is larger than
// kMaxResourceBytes is "not found": an empty optional, never an exception.
// Names and types holding a '/' or starting with '.' are never found.
//
// The settings are process-wide and may be changed from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr std::uintmax_t kMaxResourceBytes = std::uintmax_t{16} << 20;

// The folder to search instead of the default places; an empty path restores
// the default search.
void setResourcesFolder(const std::filesystem::path& folder);

// The file that stands for resource NAME of TYPE; an empty path removes it.
void setResourceFile(std::string_view name, std::string_view type,
                     const std::filesystem::path& file);

// The path of the resource's file, or nothing when it is not found.
std::optional<std::filesystem::path> findResource(std::string_view name, std::string_view type);

// The resource's whole contents, or nothing when it is not found.
std::optional<std::string> readResourceText(std::string_view name, std::string_view type);

// The same for a resource in the subfolder `folder` (a plain name).
std::optional<std::filesystem::path> findResource(std::string_view folder, std::string_view name,
                                                  std::string_view type);
std::optional<std::string> readResourceText(std::string_view folder, std::string_view name,
                                            std::string_view type);

}  // namespace vantrel
