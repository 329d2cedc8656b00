#include "app/cli/ApplyCommand.h"

#include <string>

#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "commands/Json.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"
#include "platform/Resources.h"

namespace vantrel::cli {
namespace {

// Command files are small texts; anything larger is not one.
constexpr std::size_t kMaxCommandFileBytes = std::size_t{16} << 20;

Result<Array> Refused(std::string message) {
    return Result<Array>::Failure(std::move(message));
}

Result<Done> AppendFileCommands(const std::string& path, Array& list) {
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
        list.push_back(command);
    }
    return Result<Done>::Success(Done{});
}

int Fail(std::ostream& err, const std::string& message) {
    err << "vantrel: " << message << "\n";
    return 1;
}

std::string RecordedError() {
    const std::string recorded = ErrorManager::sharedErrorManager().errorString();
    return recorded.empty() ? "the command list failed" : recorded;
}

}  // namespace

Result<Array> LoadCommandList(std::span<const CommandSource> sources) {
    Array list;
    for (const CommandSource& source : sources) {
        if (source.kind == CommandSource::Kind::File) {
            const Result<Done> appended = AppendFileCommands(source.text, list);
            if (!appended) return Refused(appended.error());
            continue;
        }
        std::optional<Dictionary> command = dictionaryWithJSONString(source.text);
        if (!command) return Refused("a --command text is not a JSON object");
        list.push_back(std::move(*command));
    }
    return Result<Array>::Success(std::move(list));
}

int RunApply(const ApplyOptions& options, std::ostream& out, std::ostream& err) {
    const Result<Array> list = LoadCommandList(options.sources);
    if (!list) return Fail(err, list.error());
    if (!options.actionsFile.empty()) setResourceFile("actions", "json", options.actionsFile);
    const Result<Picture> input = ReadPictureFile(options.input);
    if (!input) return Fail(err, input.error());

    EffectsProcesser& processor = EffectsProcesser::sharedEffectsProcesser();
    processor.setParamScale(options.paramScale);
    const Picture result = processor.runCommands(list.value(), input.value());
    if (result.empty()) return Fail(err, RecordedError());

    const Result<Done> written = WritePictureFile(result, options.output, options.quality);
    if (!written) return Fail(err, written.error());
    out << "wrote " << options.output << " (" << result.width() << " x " << result.height()
        << ")\n";
    return 0;
}

}  // namespace vantrel::cli
