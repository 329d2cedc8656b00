// Named actions as the dispatcher runs them (CMD_CALL_ACTION): the actions
// resource ("actions", "json"), parsed once and read again only when its
// file changes, and the bound on the work one command list may ask for
// through the actions it calls.
//
// Bounds: named actions nest at most kMaxActionDepth deep, and one list may
// ask for at most kMaxListCommands commands in all: every command it
// dispatches, the calls and the commands of the actions they call at any
// depth. The effects processor counts a list with ExpandedCommandCount
// before running it and refuses the whole list when it asks for more, so
// that a small actions file that fans out (16 actions each calling the
// next four times: about 10^9 commands) fails at once. A list runs against
// the resource as it was when the list began.
//
// Threads: CurrentNamedActions may be called from any thread; a
// NamedActions is immutable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "commands/Value.h"

namespace vantrel {

inline constexpr int kMaxActionDepth = 16;
inline constexpr std::uint64_t kMaxListCommands = 100'000;

// The actions of a parsed actions resource, found by name.
class NamedActions {
public:
    // `resource` is the whole JSON object; its "actions" array holds the
    // action objects (none when it has no such array).
    explicit NamedActions(Dictionary resource);
    NamedActions(const NamedActions&) = delete;
    NamedActions& operator=(const NamedActions&) = delete;

    // The first action object whose "name" is `name`; null when none is.
    const Dictionary* actionNamed(std::string_view name) const;
    // Whether the resource has an "actions" array at all.
    bool hasActionsArray() const { return m_hasActionsArray; }

private:
    Dictionary m_resource;
    bool m_hasActionsArray = false;
    std::unordered_map<std::string, const Dictionary*> m_firstByName;
};

// The program's actions resource (platform/Resources.h), parsed: the same
// object as long as the file's path, size, modification time and inode stay
// the same. Null when the resource is missing, unreadable, larger than
// kMaxResourceBytes or holds no JSON object.
std::shared_ptr<const NamedActions> CurrentNamedActions();

// The message of a list refused for asking for too many commands.
std::string TooManyCommandsError();

// How many commands `list` dispatches when it runs at nesting depth `depth`
// with `actions` (null: none): each dictionary of the list, and for each
// call the commands of its action, counted the same way one level deeper.
// Counting ends where the run would fail: at a call whose action is not
// found or that nests deeper than kMaxActionDepth (the call itself
// counted). Each action is counted once per depth, so counting costs no
// more than the actions file's size times the depth. Past `limit` the
// count stops and limit + 1 is returned.
std::uint64_t ExpandedCommandCount(const Array& list, const NamedActions* actions,
                                   std::uint64_t limit = kMaxListCommands, int depth = 0);

}  // namespace vantrel
