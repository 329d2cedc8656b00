// EditHistory: the undoable history of one edit, without its pictures.
//
// Entry k is the command list (dictionaries, commands/Value.h) that step k+1
// applied; commandIndex is the number of steps in effect, and the entries
// from commandIndex on are the redo tail. 0 <= commandIndex <= count().
#pragma once

#include <vector>

#include "commands/Value.h"

namespace vantrel {

class EditHistory {
public:
    // Drops the redo tail, then appends a copy of `list` as the step in effect.
    void addCommands(const Array& list);
    // No steps at all.
    void clearCommands();
    // One step back or forward; false (nothing changes) when there is none.
    bool stepBack();
    bool stepForward();
    // Replaces the whole history (a resumed edit); false when `commandIndex`
    // is outside 0..lists.size().
    bool restore(std::vector<Array> lists, int commandIndex);

    int commandIndex() const { return m_commandIndex; }
    int count() const { return static_cast<int>(m_commandsList.size()); }
    int redoCommandsCount() const { return count() - m_commandIndex; }
    const std::vector<Array>& commandsList() const { return m_commandsList; }

    // The lists of the steps in effect, joined in order: what the full-size
    // rendering runs.
    Array commands() const;

private:
    std::vector<Array> m_commandsList;
    int m_commandIndex = 0;
};

}  // namespace vantrel
