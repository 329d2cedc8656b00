// The journal of an unfinished edit: written beside the history pictures
// after every change of the history, removed when the editor closes, so
// that an edit interrupted by a crash can be resumed with its whole history.
//
// It is a small JSON text ("EditJournal.json"): the photo's library
// reference, originalScale, scaleMark, the command list of every history
// step, commandIndex, whether the photo has unsaved changes, and the
// fingerprint of each picture file as it was when the journal was written,
// so that a resumed edit can tell a picture of its own from one left by an
// older edit.
//
// The file is outside input: anything malformed, out of range or larger
// than kMaxEditJournalBytes reads as no journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Value.h"

namespace vantrel {

inline constexpr char kEditJournalFileName[] = "EditJournal.json";
inline constexpr std::size_t kMaxEditJournalBytes = std::size_t{16} << 20;
inline constexpr int kEditJournalVersion = 1;

struct EditJournal {
    std::string reference;  // empty: the photo came from outside the library
    double originalScale = 1.0;
    double scaleMark = 1.0;
    std::vector<Array> history;
    int commandIndex = 0;
    bool photoEdited = true;
    // File name -> fingerprint of its bytes (FileFingerprint).
    std::map<std::string, std::uint64_t> fingerprints;
};

// FNV-1a (64 bits) of a file's bytes: enough to tell one picture from another.
std::uint64_t FileFingerprint(std::span<const unsigned char> bytes);

std::string EditJournalText(const EditJournal& journal);
std::optional<EditJournal> ParseEditJournal(std::string_view text);

}  // namespace vantrel
