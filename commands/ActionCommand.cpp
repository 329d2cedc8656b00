#include "commands/ActionCommand.h"

#include "commands/Json.h"
#include "commands/NumberText.h"

namespace vantrel {
namespace {

template <std::size_t N>
std::optional<std::string_view> nameAt(const std::string_view (&names)[N], int number) {
    if (number < 0 || static_cast<std::size_t>(number) >= N) return std::nullopt;
    return names[number];
}

// First match wins; whole, case-sensitive comparison.
template <std::size_t N>
int numberOf(const std::string_view (&names)[N], std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

// The number of a dictionary's "cmd" name; -1 when absent or not a name.
int cmdNumberOf(const Dictionary& dic) {
    const Value* name = dic.find(kCmdKey);
    return name && name->text() ? ActionCommand::stringToCmd(*name->text()) : -1;
}

}  // namespace

ActionCommand::ActionCommand() = default;
ActionCommand::ActionCommand(Dictionary dic) : m_dic(std::move(dic)) {}
ActionCommand::~ActionCommand() = default;

std::unique_ptr<ActionCommand> ActionCommand::commandWithDic(const Dictionary& dic) {
    return std::make_unique<ActionCommand>(dic);
}

std::unique_ptr<ActionCommand> ActionCommand::commandWithCmdString(std::string_view cmdString) {
    auto command = std::make_unique<ActionCommand>();
    command->setValue(Value(cmdString), kCmdKey);
    return command;
}

std::unique_ptr<ActionCommand> ActionCommand::commandWithCmd(int cmd) {
    std::optional<std::string_view> name = cmdToString(cmd);
    if (!name) return nullptr;
    return commandWithCmdString(*name);
}

void ActionCommand::setValue(Value value, std::string_view key) {
    m_dic.set(key, std::move(value));
}

int ActionCommand::getCmd() const {
    return cmdNumberOf(m_dic);
}

std::string ActionCommand::getCmdString() const {
    return textForKey(kCmdKey);
}

std::string ActionCommand::jsonStringValue() const {
    return vantrel::jsonStringValue(m_dic);
}

std::optional<std::string_view> ActionCommand::cmdToString(int cmd) {
    return nameAt(kCommandNames, cmd);
}

int ActionCommand::stringToCmd(std::string_view name) {
    return numberOf(kCommandNames, name);
}

std::optional<std::string_view> ActionCommand::channelToString(int channel) {
    return nameAt(kChannelNames, channel);
}

int ActionCommand::stringToChannel(std::string_view name) {
    return numberOf(kChannelNames, name);
}

std::optional<std::string_view> ActionCommand::lomoToString(int lomo) {
    return nameAt(kLomoNames, lomo);
}

int ActionCommand::stringToLomo(std::string_view name) {
    return numberOf(kLomoNames, name);
}

int ActionCommand::intForKey(std::string_view key) const {
    const Value* value = m_dic.find(key);
    return value ? value->intValue() : 0;
}

float ActionCommand::floatForKey(std::string_view key) const {
    const Value* value = m_dic.find(key);
    return value ? value->floatValue() : 0.0f;
}

bool ActionCommand::boolForKey(std::string_view key) const {
    const Value* value = m_dic.find(key);
    return value && value->boolValue();
}

std::string ActionCommand::textForKey(std::string_view key) const {
    const Value* value = m_dic.find(key);
    return value ? value->stringValue() : std::string();
}

const Array& ActionCommand::arrayForKey(std::string_view key) const {
    static const Array kEmpty;
    const Value* value = m_dic.find(key);
    const Array* array = value ? value->array() : nullptr;
    return array ? *array : kEmpty;
}

namespace command_text {
Value paramValue(int value) {
    return Value(intText(value));
}
Value paramValue(float value) {
    return Value(floatFixedText(value));
}
Value paramValue(bool value) {
    return Value(boolText(value));
}
Value paramValue(std::string value) {
    return Value(std::move(value));
}
Value paramValue(Array value) {
    return Value(std::move(value));
}
}  // namespace command_text

std::vector<std::unique_ptr<ActionCommand>> toActionCommandsArray(const Array& dictionaries) {
    std::vector<std::unique_ptr<ActionCommand>> commands;
    commands.reserve(dictionaries.size());
    for (const Value& element : dictionaries) {
        const Dictionary* dic = element.dictionary();
        if (!dic) continue;
        const CommandSpec* row = commandSpec(cmdNumberOf(*dic));
        commands.push_back(row ? row->make(*dic) : ActionCommand::commandWithDic(*dic));
    }
    return commands;
}

Array toNormalArray(const std::vector<std::unique_ptr<ActionCommand>>& commands) {
    Array dictionaries;
    for (const auto& command : commands) {
        if (command) dictionaries.push_back(Value(command->dic()));
    }
    return dictionaries;
}

}  // namespace vantrel
