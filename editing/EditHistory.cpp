#include "editing/EditHistory.h"

namespace vantrel {

void EditHistory::addCommands(const Array& list) {
    m_commandsList.resize(static_cast<std::size_t>(m_commandIndex));
    m_commandsList.push_back(list);
    ++m_commandIndex;
}

void EditHistory::clearCommands() {
    m_commandsList.clear();
    m_commandIndex = 0;
}

bool EditHistory::stepBack() {
    if (m_commandIndex < 1) return false;
    --m_commandIndex;
    return true;
}

bool EditHistory::stepForward() {
    if (redoCommandsCount() < 1) return false;
    ++m_commandIndex;
    return true;
}

bool EditHistory::restore(std::vector<Array> lists, int commandIndex) {
    if (commandIndex < 0 || commandIndex > static_cast<int>(lists.size())) return false;
    m_commandsList = std::move(lists);
    m_commandIndex = commandIndex;
    return true;
}

Array EditHistory::commands() const {
    Array flat;
    for (int k = 0; k < m_commandIndex; ++k) {
        for (const Value& command : m_commandsList[static_cast<std::size_t>(k)]) {
            flat.push_back(command);
        }
    }
    return flat;
}

}  // namespace vantrel
