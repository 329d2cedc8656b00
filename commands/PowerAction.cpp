#include "commands/PowerAction.h"

#include <optional>

#include "commands/Json.h"
#include "commands/NamedActions.h"
#include "commands/NumberText.h"

namespace vantrel {
namespace {

constexpr std::string_view kNameKey = "name";
constexpr std::string_view kDescriptionKey = "description";
constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kCommandsKey = "commands";
constexpr std::string_view kActionsKey = "actions";

// The dictionaries among `elements`, in order.
Array dictionariesOf(const Array& elements) {
    Array dictionaries;
    for (const Value& element : elements) {
        if (element.isDictionary()) dictionaries.push_back(element);
    }
    return dictionaries;
}

}  // namespace

PowerAction::PowerAction() = default;

PowerAction::PowerAction(Dictionary dic) : m_dic(std::move(dic)) {}

PowerAction::PowerAction(std::string_view name, std::string_view description, float version,
                         const Array& commands) {
    setName(name);
    setDescription(description);
    setVersion(version);
    setCommands(commands);
}

std::unique_ptr<PowerAction> PowerAction::actionWithDic(const Dictionary& dic) {
    return std::make_unique<PowerAction>(dic);
}

std::unique_ptr<PowerAction> PowerAction::actionWithName(std::string_view name,
                                                         std::string_view description,
                                                         float version, const Array& commands) {
    return std::make_unique<PowerAction>(name, description, version, commands);
}

std::unique_ptr<PowerAction> PowerAction::actionWithName(
    std::string_view name, std::string_view description, float version,
    const std::vector<std::unique_ptr<ActionCommand>>& commands) {
    return std::make_unique<PowerAction>(name, description, version, toNormalArray(commands));
}

std::unique_ptr<PowerAction> PowerAction::actionWithJSONString(std::string_view text) {
    std::optional<Dictionary> parsed = dictionaryWithJSONString(text);
    if (!parsed) return nullptr;
    auto action = std::make_unique<PowerAction>();
    if (const Value* name = parsed->find(kNameKey)) action->setName(name->stringValue());
    if (const Value* description = parsed->find(kDescriptionKey)) {
        action->setDescription(description->stringValue());
    }
    const Value* version = parsed->find(kVersionKey);
    action->setVersion(version ? version->floatValue() : 0.0f);
    const Value* commands = parsed->find(kCommandsKey);
    action->setCommands(commands && commands->array() ? dictionariesOf(*commands->array())
                                                      : Array());
    return action;
}

std::unique_ptr<PowerAction> PowerAction::actionNamed(const Dictionary& resource,
                                                      std::string_view name) {
    const Value* actions = resource.find(kActionsKey);
    if (!actions || !actions->array()) return nullptr;
    for (const Value& element : *actions->array()) {
        const Dictionary* action = element.dictionary();
        const Value* actionName = action ? action->find(kNameKey) : nullptr;
        if (actionName && actionName->text() && *actionName->text() == name) {
            return actionWithDic(*action);
        }
    }
    return nullptr;
}

std::unique_ptr<PowerAction> PowerAction::actionFromResourceNamed(std::string_view name) {
    const std::shared_ptr<const NamedActions> actions = CurrentNamedActions();
    const Dictionary* action = actions ? actions->actionNamed(name) : nullptr;
    return action ? actionWithDic(*action) : nullptr;
}

void PowerAction::setName(std::string_view name) {
    m_dic.set(kNameKey, Value(name));
}

void PowerAction::setDescription(std::string_view description) {
    m_dic.set(kDescriptionKey, Value(description));
}

void PowerAction::setVersion(float version) {
    m_dic.set(kVersionKey, Value(floatFixedText(version)));
}

void PowerAction::setCommands(const Array& commands) {
    m_dic.set(kCommandsKey, Value(commands));
}

void PowerAction::setCommands(const std::vector<std::unique_ptr<ActionCommand>>& commands) {
    setCommands(toNormalArray(commands));
}

std::string PowerAction::getName() const {
    const Value* name = m_dic.find(kNameKey);
    return name ? name->stringValue() : std::string();
}

std::string PowerAction::getDescription() const {
    const Value* description = m_dic.find(kDescriptionKey);
    return description ? description->stringValue() : std::string();
}

float PowerAction::getVersion() const {
    const Value* version = m_dic.find(kVersionKey);
    return version ? version->floatValue() : 0.0f;
}

const Array& PowerAction::getCommands() const {
    static const Array kNone;
    const Value* commands = m_dic.find(kCommandsKey);
    return commands && commands->array() ? *commands->array() : kNone;
}

std::string PowerAction::jsonStringValue() const {
    return vantrel::jsonStringValue(m_dic);
}

}  // namespace vantrel
