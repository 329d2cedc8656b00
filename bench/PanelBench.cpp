// The effect panels on a 4:3 working image of about 614400 pixels (904 x
// 678, the working size of any larger 4:3 photo):
//
//   BM_PanelPreview/<title>  a panel's default preview: its reset (which
//                            previews the defaults) until the preview is
//                            back on the main queue, on the panel's preview
//                            bitmap (320 x 240 to 640 x 480 by its size
//                            factor). Panels whose reset shows the source
//                            (curves, the lomo panel's "None", flip, clip,
//                            rotate) time that.
//   BM_LomoThumbnailStrip    the lomo panel's four strips: every look run on
//                            its 96 x 96 thumbnail.
//   BM_LomoLookPreviews      every look of the lomo panel previewed on its
//                            preview bitmap (453 x 339), as choosing it
//                            does the first time (Time / looks per look).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "Fixture.h"
#include "commands/EffectsProcesser.h"
#include "editing/ImageCacheManager.h"
#include "editing/Settings.h"
#include "editing/panels/EffectProcessViewController.h"
#include "editing/panels/LomoLooks.h"
#include "editing/panels/LookThumbnails.h"
#include "editing/panels/PanelSpec.h"
#include "platform/Dispatch.h"

namespace vantrel::bench {
namespace {

constexpr int kWorkingWidth = 904;
constexpr int kWorkingHeight = 678;

Picture WorkingImage() {
    static const Picture picture =
        PictureFromBitmap(*MakePhoto(TiRGBABpp, kWorkingWidth, kWorkingHeight));
    return picture;
}

std::string CacheFolder() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantrel-panel-bench";
    std::filesystem::create_directories(folder);
    return folder.string();
}

void SettlePreview(const EffectsProcesser& processor, const EffectsToolView& panel) {
    runMainQueueUntil([&] { return !processor.working() && !panel.processing(); },
                      std::chrono::seconds(60));
}

void BM_PanelPreview(benchmark::State& state, const PanelSpec* panelSpec) {
    Settings settings;
    EffectsProcesser processor;
    ImageCacheManager cache(CacheFolder());
    {
        EffectProcessViewController host(nullptr, processor, settings, cache);
        if (!host.processImage(WorkingImage(), std::string(panelSpec->titleKey), 1.0)) {
            state.SkipWithError("the panel did not open");
            return;
        }
        EffectsToolView& panel = *host.panel();
        SettlePreview(processor, panel);
        for (auto _ : state) {
            host.titleTapped();
            SettlePreview(processor, panel);
        }
        state.counters["previewWidth"] = panel.originalImage().width();
        state.counters["previewHeight"] = panel.originalImage().height();
    }
    runMainQueueUntil([&] { return !processor.working(); }, std::chrono::seconds(60));
}

void BM_LomoThumbnailStrip(benchmark::State& state) {
    EffectsProcesser processor;
    const LookSection sections[] = {LookSection::kClassic, LookSection::kSoft,
                                    LookSection::kBlackWhite, LookSection::kOther};
    std::size_t looks = 0;
    for (auto _ : state) {
        const auto lists = BuildLookLists(sections, WorkingImage(), processor);
        looks = 0;
        for (const auto& list : lists) looks += list.size();
        benchmark::DoNotOptimize(lists);
    }
    state.counters["looks"] = static_cast<double>(looks);
}
BENCHMARK(BM_LomoThumbnailStrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LomoLookPreviews(benchmark::State& state) {
    Settings settings;
    EffectsProcesser processor;
    ImageCacheManager cache(CacheFolder());
    EffectProcessViewController host(nullptr, processor, settings, cache);
    if (!host.processImage(WorkingImage(), "STR_MENU_LOMO", 1.0)) {
        state.SkipWithError("the panel did not open");
        return;
    }
    const EffectsToolView& panel = *host.panel();
    const std::shared_ptr<TiBitmapData> preview = panel.originalBitmap();
    int looks = 0;
    for (auto _ : state) {
        looks = 0;
        for (const LookSection section : {LookSection::kClassic, LookSection::kSoft,
                                          LookSection::kBlackWhite, LookSection::kOther}) {
            for (const LomoLook& look : LooksInSection(section)) {
                if (look.lomo == 0) continue;
                processor.beginAddCommandDic();
                processor.setSelection(Rect{});
                processor.addCommandLomoByLomo(look.lomo);
                const Array list = processor.actionCommandListTemp();
                processor.cancelAddCommandDic();
                std::unique_ptr<TiBitmapData> copy = preview->Clone(false);
                benchmark::DoNotOptimize(processor.runCommands(list, *copy));
                ++looks;
            }
        }
    }
    state.counters["looks"] = looks;
}
BENCHMARK(BM_LomoLookPreviews)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool kRegistered = [] {
    for (const PanelSpec& panelSpec : PanelTable()) {
        const std::string name = "BM_PanelPreview/" + std::string(panelSpec.titleKey.substr(9));
        benchmark::RegisterBenchmark(name.c_str(), BM_PanelPreview, &panelSpec)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

}  // namespace
}  // namespace vantrel::bench
