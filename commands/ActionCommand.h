// ActionCommand: an editing command, a thin object around its dictionary.
//
// The dictionary is the whole state: "cmd" holds the command's name
// (commands/CommandTable.h) and every other entry is a parameter, written as
// text or as a nested array of texts, so that a command copies, goes into a
// history, becomes JSON text and comes back without loss. The typed
// subclasses (commands/ActionCommands.h) add factories and getters; this base
// class serves a command of any or no name.
//
// Reading never fails: a missing key reads as 0, 0.0, false, the empty text
// or an empty array; a name outside a table reads as -1. Numbers outside a
// table have no name (an empty optional) and no command (a null pointer).
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "commands/CommandTable.h"
#include "commands/NameTables.h"
#include "commands/Value.h"

namespace vantrel {

class ActionCommand {
public:
    ActionCommand();
    explicit ActionCommand(Dictionary dic);
    virtual ~ActionCommand();
    ActionCommand(const ActionCommand&) = delete;
    ActionCommand& operator=(const ActionCommand&) = delete;

    // Base-class commands: around a copy of `dic`; holding only "cmd" with
    // the given name; holding only "cmd" with the name of `cmd` (null when
    // the number has no name).
    static std::unique_ptr<ActionCommand> commandWithDic(const Dictionary& dic);
    static std::unique_ptr<ActionCommand> commandWithCmdString(std::string_view cmdString);
    static std::unique_ptr<ActionCommand> commandWithCmd(int cmd);

    const Dictionary& dic() const { return m_dic; }
    void setDic(Dictionary dic) { m_dic = std::move(dic); }
    void setValue(Value value, std::string_view key);
    const Value* valueForKey(std::string_view key) const { return m_dic.find(key); }
    void removeObjectForKey(std::string_view key) { m_dic.remove(key); }

    // The number of the "cmd" name, -1 when it is absent or not in the table.
    int getCmd() const;
    // The "cmd" entry as text; empty when absent.
    std::string getCmdString() const;

    // The dictionary as JSON text (commands/Json.h).
    std::string jsonStringValue() const;

    // Name tables: number to name (nothing outside the table) and name to
    // number (-1 when absent; whole, case-sensitive comparison).
    static std::optional<std::string_view> cmdToString(int cmd);
    static int stringToCmd(std::string_view name);
    static std::optional<std::string_view> channelToString(int channel);
    static int stringToChannel(std::string_view name);
    static std::optional<std::string_view> lomoToString(int lomo);
    static int stringToLomo(std::string_view name);

protected:
    int intForKey(std::string_view key) const;
    float floatForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    std::string textForKey(std::string_view key) const;
    // The nested array under `key`, or an empty one.
    const Array& arrayForKey(std::string_view key) const;

private:
    Dictionary m_dic;
};

// The base of the 41 typed subclasses: N is the command's number, and every
// key the subclass reads or writes comes from the command's parameter list.
// The parameter kinds are checked when the subclass compiles.
template <CommandNumber N>
class TypedActionCommand : public ActionCommand {
public:
    static constexpr CommandNumber kCmd = N;

    TypedActionCommand() = default;
    explicit TypedActionCommand(Dictionary dic) : ActionCommand(std::move(dic)) {}

protected:
    static constexpr std::span<const ParamSpec> kParams = kCommandParams[N];

    template <std::size_t I>
    static constexpr ParamSpec param() {
        static_assert(I < kParams.size(), "the command has no such parameter");
        return kParams[I];
    }

    template <std::size_t I>
    int intParam() const {
        static_assert(param<I>().kind == ParamKind::Integer);
        return intForKey(param<I>().key);
    }
    template <std::size_t I>
    float floatParam() const {
        static_assert(param<I>().kind == ParamKind::Float);
        return floatForKey(param<I>().key);
    }
    template <std::size_t I>
    bool boolParam() const {
        static_assert(param<I>().kind == ParamKind::Boolean);
        return boolForKey(param<I>().key);
    }
    template <std::size_t I>
    std::string nameParam() const {
        static_assert(isNameKind(param<I>().kind));
        return textForKey(param<I>().key);
    }
    template <std::size_t I>
    const Array& recordParam() const {
        static_assert(isRecordKind(param<I>().kind));
        return arrayForKey(param<I>().key);
    }

    // A new Self holding "cmd" and one entry per parameter, in table order,
    // each argument written in its kind's text form: int for Integer, float
    // for Float, bool for Boolean, text for names, a packed Array for records.
    template <typename Self, typename... Args>
    static std::unique_ptr<Self> build(const Args&... args);
};

namespace command_text {
Value paramValue(int value);          // "%d"
Value paramValue(float value);        // "%f"
Value paramValue(bool value);         // "1" or "0"
Value paramValue(std::string value);  // a name, as it stands
Value paramValue(Array value);        // a packed record

template <typename T>
constexpr bool kindTakes(ParamKind kind) {
    if (kind == ParamKind::Integer) return std::is_same_v<T, int>;
    if (kind == ParamKind::Float) return std::is_same_v<T, float>;
    if (kind == ParamKind::Boolean) return std::is_same_v<T, bool>;
    if (isNameKind(kind)) return std::is_same_v<T, std::string>;
    return std::is_same_v<T, Array>;
}
}  // namespace command_text

template <CommandNumber N>
template <typename Self, typename... Args>
std::unique_ptr<Self> TypedActionCommand<N>::build(const Args&... args) {
    static_assert(sizeof...(Args) == kParams.size(), "one argument per parameter");
    auto command = std::make_unique<Self>();
    command->setValue(Value(kCommandNames[N]), kCmdKey);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        static_assert((command_text::kindTakes<Args>(kParams[I].kind) && ...),
                      "an argument does not match its parameter's kind");
        (command->setValue(command_text::paramValue(args), kParams[I].key), ...);
    }
    (std::index_sequence_for<Args...>{});
    return command;
}

// Typed commands, one per dictionary of `dictionaries`, in order: each is the
// subclass of its "cmd" name, or a base-class command (number -1) when the
// name is not in the table. Elements that are not dictionaries are skipped.
std::vector<std::unique_ptr<ActionCommand>> toActionCommandsArray(const Array& dictionaries);

// A copy of each command's dictionary, in order.
Array toNormalArray(const std::vector<std::unique_ptr<ActionCommand>>& commands);

}  // namespace vantrel
