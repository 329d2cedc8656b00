#include "commands/NamedActions.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "commands/ActionCommands.h"
#include "commands/Json.h"
#include "platform/Files.h"
#include "platform/Resources.h"

namespace vantrel {
namespace {

const Array& CommandsOf(const Dictionary& action) {
    static const Array kNone;
    const Value* commands = action.find("commands");
    return commands && commands->array() ? *commands->array() : kNone;
}

bool IsCall(const Dictionary& command) {
    const Value* name = command.find("cmd");
    return name && name->text() && ActionCommand::stringToCmd(*name->text()) == CMD_CALL_ACTION;
}

// The count of a list, and whether the run fails at its last counted command.
struct Count {
    std::uint64_t commands = 0;
    bool fails = false;
};

class Counter {
public:
    Counter(const NamedActions* actions, std::uint64_t limit)
        : m_actions(actions), m_limit(limit) {}

    Count OfList(const Array& list, int depth) {
        Count total;
        for (const Value& element : list) {
            const Dictionary* command = element.dictionary();
            if (!command) continue;  // not run: toActionCommandsArray leaves it out
            total.commands = Add(total.commands, 1);
            if (total.commands > m_limit) return total;
            if (!IsCall(*command)) continue;
            const Count called = OfCall(*command, depth);
            total.commands = Add(total.commands, called.commands);
            if (called.fails) return {total.commands, true};
        }
        return total;
    }

private:
    std::uint64_t Add(std::uint64_t a, std::uint64_t b) const {
        return std::min(a + std::min(b, m_limit + 1), m_limit + 1);
    }

    Count OfCall(const Dictionary& call, int depth) {
        const std::string name = ActionCommand_CALL_ACTION(call).getActionName();
        const Dictionary* action = m_actions ? m_actions->actionNamed(name) : nullptr;
        if (!action || depth >= kMaxActionDepth) return {0, true};
        const std::pair key(action, depth);
        if (const auto known = m_counted.find(key); known != m_counted.end()) return known->second;
        const Count nested = OfList(CommandsOf(*action), depth + 1);
        m_counted.emplace(key, nested);
        return nested;
    }

    const NamedActions* m_actions;
    std::uint64_t m_limit;
    std::map<std::pair<const Dictionary*, int>, Count> m_counted;
};

// What identifies one version of the resource's file.
struct FileStamp {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileStamp{path,           status.st_dev,         status.st_ino,
                     status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

std::shared_ptr<const NamedActions> Parse(const std::string& path) {
    const Result<std::vector<unsigned char>> bytes = ReadWholeFile(path, kMaxResourceBytes);
    if (!bytes) return nullptr;
    const std::string text(bytes.value().begin(), bytes.value().end());
    std::optional<Dictionary> resource = dictionaryWithJSONString(text);
    if (!resource) return nullptr;
    return std::make_shared<const NamedActions>(std::move(*resource));
}

}  // namespace

NamedActions::NamedActions(Dictionary resource) : m_resource(std::move(resource)) {
    const Value* actions = m_resource.find("actions");
    if (!actions || !actions->array()) return;
    m_hasActionsArray = true;
    for (const Value& element : *actions->array()) {
        const Dictionary* action = element.dictionary();
        const Value* name = action ? action->find("name") : nullptr;
        if (name && name->text()) m_firstByName.emplace(*name->text(), action);
    }
}

const Dictionary* NamedActions::actionNamed(std::string_view name) const {
    const auto found = m_firstByName.find(std::string(name));
    return found == m_firstByName.end() ? nullptr : found->second;
}

std::shared_ptr<const NamedActions> CurrentNamedActions() {
    static std::mutex mutex;
    static std::optional<FileStamp> cachedStamp;
    static std::shared_ptr<const NamedActions> cached;

    const std::optional<std::filesystem::path> path = findResource("actions", "json");
    if (!path) return nullptr;
    // Stamped before reading: a file that changes while it is read is read
    // again next time.
    const std::optional<FileStamp> stamp = StampOf(path->string());
    if (!stamp) return nullptr;
    std::lock_guard lock(mutex);
    if (cachedStamp != stamp) {
        cached = Parse(stamp->path);
        cachedStamp = stamp;
    }
    return cached;
}

std::string TooManyCommandsError() {
    return "The command list asks for more than " + std::to_string(kMaxListCommands) +
           " commands through its named actions.";
}

std::uint64_t ExpandedCommandCount(const Array& list, const NamedActions* actions,
                                   std::uint64_t limit, int depth) {
    return Counter(actions, limit).OfList(list, depth).commands;
}

}  // namespace vantrel
