// JSON text and command lists at sizes far beyond any real list, to show
// that reading, writing and typing stay linear: a list of 20,000 commands
// (about 2.3 MB of text) and objects of 100,000 and 200,000 keys.
#include <benchmark/benchmark.h>

#include <string>

#include "commands/ActionCommands.h"
#include "commands/Json.h"

namespace vantrel::bench {
namespace {

// A list that cycles through commands of every parameter shape.
Dictionary MakeCommandList(int count) {
    const TransferColor tones[3] = {{0, 0, -8}, {14, 0, -18}, {6, 0, -10}};
    const RGBPoint stops[2] = {{{0, 0, 0}, 0, 0.5f}, {{255, 255, 255}, 1, 0.5f}};
    const Vec3 points[3] = {{0, 32, 0}, {128, 126, 0}, {255, 236, 0}};
    Array list;
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<ActionCommand> command;
        switch (i % 6) {
            case 0:
                command = ActionCommand_SHARPEN::commandWithAmount(80, 3, i % 256);
                break;
            case 1:
                command = ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true);
                break;
            case 2:
                command = ActionCommand_CURVE::commandWithPoints(points, CHANEL_RGB);
                break;
            case 3:
                command = ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 2, stops, 2, 90,
                                                                               1.5f, 0.75f, true);
                break;
            case 4:
                command = ActionCommand_ROTATE::commandWithDegrees(static_cast<float>(i));
                break;
            default:
                command = ActionCommand_LOMO::commandWithLomo(i % 54);
                break;
        }
        list.push_back(Value(command->dic()));
    }
    return Dictionary{{"name", "Long list"}, {"commands", list}};
}

void BM_JsonReadCommandList(benchmark::State& state) {
    const std::string text = jsonStringValue(MakeCommandList(20000));
    for (auto _ : state) {
        auto dictionary = dictionaryWithJSONString(text);
        benchmark::DoNotOptimize(dictionary);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonReadCommandList)->Unit(benchmark::kMillisecond);

void BM_JsonWriteCommandList(benchmark::State& state) {
    const Dictionary list = MakeCommandList(20000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = jsonStringValue(list);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_JsonWriteCommandList)->Unit(benchmark::kMillisecond);

void BM_TypeCommandList(benchmark::State& state) {
    const Dictionary list = MakeCommandList(20000);
    const Array& commands = *list.find("commands")->array();
    for (auto _ : state) {
        auto typed = toActionCommandsArray(commands);
        benchmark::DoNotOptimize(typed);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * commands.size()));
}
BENCHMARK(BM_TypeCommandList)->Unit(benchmark::kMillisecond);

void BM_JsonReadManyKeys(benchmark::State& state) {
    std::string text = "{";
    for (int64_t i = 0; i < state.range(0); ++i) {
        text.append("\"key").append(std::to_string(i)).append("\":\"").append(std::to_string(i));
        text.append("\",");
    }
    text += "}";
    for (auto _ : state) {
        auto dictionary = dictionaryWithJSONString(text);
        benchmark::DoNotOptimize(dictionary);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
// Twice the keys, twice the time: lookups while reading do not grow with size.
BENCHMARK(BM_JsonReadManyKeys)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench
