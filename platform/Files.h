// Whole files: reading one with a bound on its size, and writing one so that
// readers see either the old file or the complete new one, never a part.
//
// Failure: an error text naming the file and the reason; nothing is thrown.
// A failed write leaves the old file (if any) as it was and no temporary
// file behind.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace vantrel {

// The bytes of the regular file at `path`. Refuses a file larger than
// maxBytes (and anything that is not a regular file, such as a folder or a
// pipe) before reading it.
Result<std::vector<unsigned char>> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Writes `bytes` to a new temporary file beside `path`, flushes it to the
// disk and renames it over `path`. The file's permissions follow the
// process's file-creation mask, as a plain new file's would.
Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes);

// As above, the new file created with `mode` (narrowed by the file-creation
// mask as usual): 0600 for a file that holds the user's secrets, which is
// then never readable by others, not even for a moment.
Result<Done> WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                                 unsigned mode);

}  // namespace vantrel
