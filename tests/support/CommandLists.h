// Command lists for the processor, dispatcher and command-line tests.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Core/global/BitmapData.h"
#include "commands/ActionCommands.h"
#include "commands/Value.h"

namespace vantrel::test {

// The dictionaries of `commands`, in order, as the processor takes them.
template <typename... Commands>
Array ListOf(const Commands&... commands) {
    return Array{Value(commands->dic())...};
}

// A base-class command holding only "cmd" (GRAY, ANTICOLOR, ...).
inline std::unique_ptr<ActionCommand> Bare(int cmd) {
    return ActionCommand::commandWithCmd(cmd);
}

inline std::unique_ptr<ActionCommand_SET_SELECTION> Selection(float x, float y, float width,
                                                              float height) {
    return ActionCommand_SET_SELECTION::commandWithSelection(Rect{x, y, width, height});
}

// A list of `times` calls of the named action `name`.
inline Array CallList(const std::string& name, int times = 1) {
    Array list;
    for (int i = 0; i < times; ++i) {
        list.push_back(Value(ActionCommand_CALL_ACTION::commandWithActionName(name)->dic()));
    }
    return list;
}

// A copy of `bitmap` with `operation` applied to its (x, y, width, height)
// region through a view: what a command confined to that region must give.
std::unique_ptr<TiBitmapData> WithRegion(const TiBitmapData& bitmap, int x, int y, int width,
                                         int height,
                                         const std::function<void(TiBitmapData&)>& operation);

// The error text the last failed command recorded.
std::string RecordedError();

// A named-actions resource holding `actions` (JSON text of the action
// objects, comma separated), written to `path` and installed as the
// program's "actions" resource until the object goes.
class ActionsResource {
public:
    ActionsResource(const std::string& path, const std::string& actions);
    ~ActionsResource();
    ActionsResource(const ActionsResource&) = delete;
    ActionsResource& operator=(const ActionsResource&) = delete;
};

}  // namespace vantrel::test
