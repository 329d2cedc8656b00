// The edit session on a 12-megapixel (4000 x 3000) JPEG photo in a
// temporary library, worked on at its level-0 size (about 905 x 679):
//
//   BM_EditOpenPhoto    decode, upright, working image, display image (the
//                       background writes of the original and position 0
//                       are not counted);
//   BM_EditCurvesStep   one curves step applied to the working image (the
//                       history picture's background write not counted);
//   BM_EditUndo / Redo  one undo or redo (one history picture read);
//   BM_EditSaveTenSteps the full-size save of a ten-step mixed history (a
//                       look, a blur and a rotation among them) into the
//                       library, with "peakMB", the process's resident peak
//                       during the save, and "startMB", its resident size
//                       before it.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Fixture.h"
#include "commands/ActionCommands.h"
#include "commands/EffectsProcesser.h"
#include "editing/EditViewController.h"
#include "editing/ImageCacheManager.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "platform/Dispatch.h"
#include "platform/PictureCodec.h"
#include "platform/UIServices.h"

namespace vantrel::bench {
namespace {

constexpr char kPhoto[] = "photo.jpg";

template <typename... Commands>
Array Step(const Commands&... commands) {
    return Array{Value(ActionCommand_SET_SELECTION::commandWithSelection(Rect{})->dic()),
                 Value(commands->dic())...};
}

Array CurvesStep() {
    const std::array<Vec3, 3> points{{{0, 0, 0}, {128, 160, 0}, {255, 255, 0}}};
    return Step(ActionCommand_CURVE::commandWithPoints(points, 0));
}

// Ten steps of the kinds a user mixes: colour, a look, a blur, a turn.
std::array<Array, 10> MixedSteps() {
    return {CurvesStep(),
            Step(ActionCommand_LOMO::commandWithLomo(2)),
            Step(ActionCommand_GASBLUR::commandWithRadiusH(6, 6)),
            Step(ActionCommand_ROTATE::commandWithDegrees(12)),
            Step(ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(10, 15)),
            Step(ActionCommand_EXPOSURE::commandWithValue(0.3f)),
            Step(ActionCommand_SHARPEN::commandWithAmount(60, 2, 0)),
            Step(ActionCommand_POSTERIZE::commandWithLevels(24)),
            Step(ActionCommand_FLIP::commandWithFlipH(true, false)),
            Step(ActionCommand::commandWithCmd(CMD_GRAY))};
}

class Panel final : public EffectPanelHost {
public:
    explicit Panel(Array list) : m_list(std::move(list)) {}
    Array effectsTaskList() override { return m_list; }
    bool allowUseReviewAsResult() const override { return false; }
    Picture reviewImage() const override { return Picture(); }
    bool appliedEffect() const override { return true; }

private:
    Array m_list;
};

class Panels final : public EffectPanelFactory {
public:
    std::unique_ptr<EffectPanelHost> makePanelHost(const EffectPanelRequest&) override {
        return std::make_unique<Panel>(next);
    }
    Array next;
};

// Alerts ("STR_FINISH" after each save) are not the benchmark's output.
class QuietUIServices final : public UIServices {
public:
    void showAlert(std::string_view, std::string_view, std::string_view) override {}
    void showWaitPanelWithTitle(std::string_view, bool) override {}
    void showActivityIndicator() override {}
    void removeWaitPanel() override {}
    std::string localizedString(std::string_view key) override { return std::string(key); }
};

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length);
    }
    return -1;
}

bool ResetResidentPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

std::string MakeFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// A workflow over temporary folders, the photo in its library, photos
// always taken at their own size (so the save renders all 12 megapixels).
class Workflow {
public:
    Workflow()
        : m_documents(MakeFolder()),
          m_library(MakeFolder()),
          m_settings(m_documents + "/setting.plist"),
          m_cache(m_documents) {
        const Picture photo = PictureFromBitmap(*MakePhoto());
        WritePictureFile(photo, m_library + "/" + kPhoto);
        setCurrentUIServices(&m_ui);
        m_settings.setAlwaysUseOriginalSize(true);
        m_root = std::make_unique<PhotoAppViewController>(EditingServices{
            m_settings, m_processor, m_cache, PhotoLibrary(m_library), m_documents});
        m_root->setEffectPanelFactory(&panels);
    }
    ~Workflow() {
        Settle();
        m_root.reset();
        setCurrentUIServices(nullptr);
        std::filesystem::remove_all(m_documents);
        std::filesystem::remove_all(m_library);
    }

    // Runs the main queue until the flow's work, the picture writes
    // included, has ended.
    void Settle() {
        for (;;) {
            const std::size_t ran = drainMainQueue();
            if (EditViewController* editor = m_root->editViewController()) {
                editor->pictureStore().waitForWrites();
            }
            if (ran == 0 && m_root->backgroundWork().count() == 0 && drainMainQueue() == 0) return;
            m_root->backgroundWork().waitUntilIdleFor(std::chrono::milliseconds(1));
        }
    }
    // Runs the main queue until the edit screen is no longer busy.
    void UntilIdle() {
        runMainQueueUntil([this] { return !editor().isBusy(); });
    }

    // The browser's way in without its screen change delay: the photo
    // loaded, offered no sheet, and the edit screen opened on it.
    void Open() {
        const Result<Picture> picture = m_root->library().loadPicture(kPhoto);
        if (!m_root->checkPhoto(picture.value())) m_root->jumpToEditPhase();
    }
    void Close() {
        editor().closeEditor();
        Settle();
    }
    void Apply(const Array& list) {
        panels.next = list;
        editor().actionEffectProcess("STR_MENU_CURVE");
        Settle();
        editor().actionDone();
        UntilIdle();
    }
    EditViewController& editor() { return *m_root->editViewController(); }
    std::string library() const { return m_library; }

    Panels panels;

private:
    QuietUIServices m_ui;
    std::string m_documents;
    std::string m_library;
    Settings m_settings;
    EffectsProcesser m_processor;
    ImageCacheManager m_cache;
    std::unique_ptr<PhotoAppViewController> m_root;
};

void BM_EditOpenPhoto(benchmark::State& state) {
    Workflow workflow;
    for (auto _ : state) {
        workflow.Open();
        state.PauseTiming();
        if (workflow.editor().screenState().displayImage.empty()) state.SkipWithError("no photo");
        workflow.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditOpenPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditCurvesStep(benchmark::State& state) {
    Workflow workflow;
    workflow.Open();
    workflow.Settle();
    workflow.panels.next = CurvesStep();
    for (auto _ : state) {
        state.PauseTiming();
        workflow.editor().actionEffectProcess("STR_MENU_CURVE");
        workflow.Settle();
        state.ResumeTiming();
        workflow.editor().actionDone();
        workflow.UntilIdle();
        state.PauseTiming();
        workflow.Settle();
        workflow.editor().actionBackEffect();
        workflow.Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditCurvesStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void UndoRedo(benchmark::State& state, bool timeUndo) {
    Workflow workflow;
    workflow.Open();
    workflow.Apply(CurvesStep());
    workflow.Apply(Step(ActionCommand_GASBLUR::commandWithRadiusH(4, 4)));
    workflow.Settle();
    for (auto _ : state) {
        if (!timeUndo) state.PauseTiming();
        workflow.editor().actionBackEffect();
        if (!timeUndo) state.ResumeTiming();
        if (timeUndo) state.PauseTiming();
        workflow.editor().actionRedoEffect();
        if (timeUndo) state.ResumeTiming();
    }
    if (workflow.editor().commandIndex() != 2) state.SkipWithError("undo or redo failed");
}

void BM_EditUndo(benchmark::State& state) {
    UndoRedo(state, true);
}
BENCHMARK(BM_EditUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditRedo(benchmark::State& state) {
    UndoRedo(state, false);
}
BENCHMARK(BM_EditRedo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditSaveTenSteps(benchmark::State& state) {
    Workflow workflow;
    workflow.Open();
    for (const Array& step : MixedSteps()) workflow.Apply(step);
    workflow.Settle();
    long peakKb = 0;
    long startKb = 0;
    bool peakKnown = true;
    for (auto _ : state) {
        state.PauseTiming();
        peakKnown = peakKnown && ResetResidentPeak();
        startKb = StatusKb("VmRSS:");
        state.ResumeTiming();
        workflow.editor().actionSaveImage();
        workflow.UntilIdle();
        state.PauseTiming();
        peakKb = std::max(peakKb, StatusKb("VmHWM:"));
        if (workflow.editor().photoEdited()) state.SkipWithError("the save failed");
        workflow.Apply(CurvesStep());  // something to save again
        workflow.Settle();
        state.ResumeTiming();
    }
    std::size_t saved = 0;
    for (const auto& entry : std::filesystem::directory_iterator(workflow.library() + "/Vantrel")) {
        saved += entry.is_regular_file();
    }
    state.counters["saved"] = static_cast<double>(saved);
    state.counters["startMB"] = static_cast<double>(startKb) / 1024;
    if (peakKnown) state.counters["peakMB"] = static_cast<double>(peakKb) / 1024;
}
BENCHMARK(BM_EditSaveTenSteps)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace vantrel::bench
