#include "app/cli/ApplyCommand.h"

#include <string>
#include <vector>

#include "app/cli/UnknownCommands.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "commands/Json.h"
#include "commands/NamedActions.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"
#include "platform/Resources.h"

namespace vantrel::cli {
namespace {

// Command files are small texts; anything larger is not one.
constexpr std::size_t kMaxCommandFileBytes = std::size_t{16} << 20;

// The commands of the sources, each with where it came from.
struct LoadedCommands {
    Array list;
    std::vector<std::string> origins;
};

Result<Done> AppendFileCommands(const std::string& path, LoadedCommands& loaded) {
    const Result<std::vector<unsigned char>> bytes = ReadWholeFile(path, kMaxCommandFileBytes);
    if (!bytes) return Result<Done>::Failure(bytes.error());
    const std::string text(bytes.value().begin(), bytes.value().end());
    const std::optional<Dictionary> object = dictionaryWithJSONString(text);
    const Value* commands = object ? object->find("commands") : nullptr;
    if (!commands || !commands->array()) {
        return Result<Done>::Failure(path + " holds no JSON object with a \"commands\" array");
    }
    for (const Value& command : *commands->array()) {
        if (!command.isDictionary()) {
            return Result<Done>::Failure(path + ": an element of \"commands\" is not a dictionary");
        }
        loaded.list.push_back(command);
        loaded.origins.push_back(path);
    }
    return Result<Done>::Success(Done{});
}

Result<LoadedCommands> Load(std::span<const CommandSource> sources) {
    LoadedCommands loaded;
    int jsonCount = 0;
    for (const CommandSource& source : sources) {
        if (source.kind == CommandSource::Kind::File) {
            const Result<Done> appended = AppendFileCommands(source.text, loaded);
            if (!appended) return Result<LoadedCommands>::Failure(appended.error());
            continue;
        }
        std::optional<Dictionary> command = dictionaryWithJSONString(source.text);
        if (!command)
            return Result<LoadedCommands>::Failure("a --command text is not a JSON object");
        loaded.list.push_back(std::move(*command));
        loaded.origins.push_back("--command " + std::to_string(++jsonCount));
    }
    return Result<LoadedCommands>::Success(std::move(loaded));
}

// The first command whose name is not in the vocabulary, said; empty when
// every name is known.
std::string UnknownCommand(const LoadedCommands& loaded) {
    for (std::size_t i = 0; i < loaded.list.size(); ++i) {
        const std::string error =
            UnknownCommandError(*loaded.list[i].dictionary(), loaded.origins[i]);
        if (!error.empty()) return error;
    }
    return {};
}

// Installs an actions file and says what is wrong with it before any
// command runs; a missing or broken file would otherwise only show as "Not
// find Action!". The file is parsed once, here, for the whole run.
Result<Done> UseActionsFile(const std::string& path) {
    setResourceFile("actions", "json", path);
    const std::shared_ptr<const NamedActions> actions = CurrentNamedActions();
    if (!actions) {
        // Read again only to say why.
        const Result<std::vector<unsigned char>> bytes = ReadWholeFile(path, kMaxResourceBytes);
        if (!bytes) return Result<Done>::Failure(bytes.error());
        return Result<Done>::Failure("The actions file \"" + path + "\" holds no JSON object.");
    }
    if (!actions->hasActionsArray()) {
        return Result<Done>::Failure("The actions file \"" + path + "\" has no \"actions\" array.");
    }
    return Result<Done>::Success(Done{});
}

int Fail(std::ostream& err, const std::string& message, int status = 1) {
    err << "vantrel: " << message << "\n";
    return status;
}

std::string RecordedError() {
    const std::string recorded = ErrorManager::sharedErrorManager().errorString();
    return recorded.empty() ? "the command list failed" : recorded;
}

}  // namespace

Result<Array> LoadCommandList(std::span<const CommandSource> sources) {
    Result<LoadedCommands> loaded = Load(sources);
    if (!loaded) return Result<Array>::Failure(loaded.error());
    return Result<Array>::Success(std::move(loaded.value().list));
}

int RunApply(const ApplyOptions& options, std::ostream& out, std::ostream& err) {
    const Result<LoadedCommands> loaded = Load(options.sources);
    if (!loaded) return Fail(err, loaded.error());
    if (const std::string unknown = UnknownCommand(loaded.value()); !unknown.empty()) {
        return Fail(err, unknown, 2);
    }
    if (!options.actionsFile.empty()) {
        const Result<Done> actions = UseActionsFile(options.actionsFile);
        if (!actions) return Fail(err, actions.error());
    }
    const Result<Done> replaceable = CheckReplaceable(options.output);
    if (!replaceable) return Fail(err, replaceable.error());
    const Result<Picture> input = ReadPictureFile(options.input);
    if (!input) return Fail(err, input.error());

    EffectsProcesser& processor = EffectsProcesser::sharedEffectsProcesser();
    processor.setParamScale(options.paramScale);
    const Picture result = processor.runCommands(loaded.value().list, input.value());
    if (result.empty()) return Fail(err, RecordedError());

    const Result<Done> written = WritePictureFile(result, options.output, options.quality);
    if (!written) return Fail(err, written.error());
    out << "wrote " << options.output << " (" << result.width() << " x " << result.height()
        << ")\n";
    return 0;
}

}  // namespace vantrel::cli
