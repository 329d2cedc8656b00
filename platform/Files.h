// Whole files: reading one with a bound on its size, and writing one so that
// readers see either the old file or the complete new one, never a part.
//
// Every file the program writes over goes through WriteFileAtomically; its
// rules, which callers can count on:
//   - The bytes go to a new temporary file in the same folder, named
//     kTemporaryFilePrefix + the writer's process id + a random part (at
//     most 32 bytes whatever the target's name, so every legal name can be
//     written); it is flushed to the disk and renamed over the target.
//   - A replaced file keeps its permission bits (rwx for owner, group and
//     others); a new file gets 0666 less the process's file-creation mask.
//   - A target that exists and is not a regular file (a symbolic link, a
//     pipe, a device, a socket or a folder) is refused and left as it is.
//   - A writer killed mid-write leaves its temporary file behind; the next
//     write to that folder removes it (any temporary file whose process is
//     gone, or that is older than kStaleTemporaryMinutes). Code that lists
//     a folder should pass over names starting with kTemporaryFilePrefix.
//
// Failure: an error text naming the file and the reason; nothing is thrown.
// A failed write leaves the old file (if any) as it was and no temporary
// file behind.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace vantrel {

inline constexpr std::string_view kTemporaryFilePrefix = ".vantrel-tmp-";
inline constexpr int kStaleTemporaryMinutes = 10;

// The bytes of the regular file at `path`. Refuses a file larger than
// maxBytes (and anything that is not a regular file, such as a folder or a
// pipe) before reading it.
Result<std::vector<unsigned char>> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Whether `path` may be written over: it does not exist, or it is a regular
// file. The refusal names the path and what is there instead. Lets a caller
// refuse before doing the work whose result it would write.
Result<Done> CheckReplaceable(const std::string& path);

// Writes `bytes` to `path` by the rules above.
Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes);

// As above, with the permission bits held to `allowed`: a new file gets
// 0666 & `allowed` (less the mask), a replaced one its own bits & `allowed`.
// 0600 for a file that holds the user's secrets, which is then never
// readable by others, not even for a moment.
Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                                 unsigned allowed);

}  // namespace vantrel
