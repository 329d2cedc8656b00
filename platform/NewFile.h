// Writing a file under a name that must not exist yet, so that nothing is
// ever overwritten: the bytes go to a temporary file beside it (named as
// platform/Files.h names its temporary files), are flushed to the disk, and
// the file then takes its name only if the name is still free (an atomic
// rename that refuses to replace, or a hard link on file systems without
// one). Readers see no file or the whole file.
//
// Failure: the name taken, or an error text naming the file; a failed write
// leaves no temporary file behind and no file under the name.
#pragma once

#include <span>
#include <string>

namespace vantrel {

struct NewFileOutcome {
    enum class Kind { Written, NameTaken, Failed };
    Kind kind = Kind::Failed;
    std::string error;  // for Failed and NameTaken

    bool written() const { return kind == Kind::Written; }
};

// Writes `bytes` as the new file `path`, whose permissions follow the
// process's file-creation mask as a plain new file's would.
NewFileOutcome WriteNewFile(const std::string& path, std::span<const unsigned char> bytes);

}  // namespace vantrel
