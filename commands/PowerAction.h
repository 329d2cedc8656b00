// PowerAction: a named action, a stored and named command list.
//
// Like a command, an action is a dictionary: "name" and "description"
// (texts), "version" (the "%f" text of a float) and "commands" (an array of
// command dictionaries). CMD_CALL_ACTION runs the commands of the action of
// that name from the actions resource ("actions", "json"): a JSON object
// whose "actions" array holds the action objects.
//
// The commands are always kept as dictionaries, the form the effects
// processor runs; typed objects come from toActionCommandsArray.
//
// Failure contract: an action built from a dictionary or JSON text of any
// shape reads missing entries as empty (name "", version 0, no commands);
// only text that holds no JSON object at all gives no action.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "commands/ActionCommand.h"
#include "commands/Value.h"

namespace vantrel {

class PowerAction {
public:
    PowerAction();
    // Around a copy of `dic`.
    explicit PowerAction(Dictionary dic);
    PowerAction(std::string_view name, std::string_view description, float version,
                const Array& commands);

    static std::unique_ptr<PowerAction> actionWithDic(const Dictionary& dic);
    static std::unique_ptr<PowerAction> actionWithName(std::string_view name,
                                                       std::string_view description, float version,
                                                       const Array& commands);
    static std::unique_ptr<PowerAction> actionWithName(
        std::string_view name, std::string_view description, float version,
        const std::vector<std::unique_ptr<ActionCommand>>& commands);
    // Name, description, version and commands of the object in `text`
    // (commands/Json.h); elements of "commands" that are not dictionaries are
    // left out. Null when the text holds no object.
    static std::unique_ptr<PowerAction> actionWithJSONString(std::string_view text);

    // The first action named `name` in the "actions" array of an actions
    // resource; null when there is none.
    static std::unique_ptr<PowerAction> actionNamed(const Dictionary& resource,
                                                    std::string_view name);
    // The same, from the application's actions resource as
    // CurrentNamedActions (commands/NamedActions.h) keeps it; null when the
    // resource is missing, is not a JSON object, or has no action of that
    // name.
    static std::unique_ptr<PowerAction> actionFromResourceNamed(std::string_view name);

    const Dictionary& dic() const { return m_dic; }

    void setName(std::string_view name);
    void setDescription(std::string_view description);
    // Stored as the "%f" text of the value.
    void setVersion(float version);
    void setCommands(const Array& commands);
    void setCommands(const std::vector<std::unique_ptr<ActionCommand>>& commands);

    std::string getName() const;
    std::string getDescription() const;
    float getVersion() const;
    // The command dictionaries; empty when there are none.
    const Array& getCommands() const;

    // The action as JSON text (commands/Json.h).
    std::string jsonStringValue() const;

private:
    Dictionary m_dic;
};

}  // namespace vantrel
