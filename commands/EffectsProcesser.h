// EffectsProcesser: the one object through which editing commands reach the
// pixels.
//
// Panels build a list of command dictionaries in a build phase
// (beginAddCommandDic, the addCommand... family, submitCommandDic or
// cancelAddCommandDic) and start a background run of the submitted list on a
// copy of their source bitmap; the result comes back to the delegate on the
// main queue as a picture. While a run is in progress a newly submitted list
// waits, and only the latest one is run when the current run ends. The edit
// flow uses the synchronous runs: on a bitmap (beginProcess, runCommands,
// endProcess, or runCommands(list, bitmap)) and on a picture.
//
// Every command of a list goes through runActionCommand (commands/Dispatcher.h),
// which confines it to the current selection, scales its spatial parameters
// by paramScale and calls the imaging operation.
//
// Threads: the build phase, submission and the delegate callbacks belong to
// the main queue; background runs take place on the high-priority global
// queue, one at a time. Four counting semaphores of count 1 guard the shared
// state: startProcess_sem the test-and-set of `working`, access_sem the
// submitted list and the delegate, addTask_sem a whole build phase, and
// processingSem every run on a bitmap. waitProcessFinish must never be called
// on the main queue, where the run's completion is delivered.
//
// Failure: a command that fails ends its list with false; the bitmap keeps
// the changes of the commands before it. Messages meant for the user are
// recorded in ErrorManager by whoever meets the failure.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"
#include "commands/Value.h"
#include "platform/Dispatch.h"
#include "platform/Picture.h"

namespace vantrel {

class ActionCommand;
class NamedActions;

// Receives the results of background runs, always on the main queue.
class EffectProcessDelegate {
public:
    virtual ~EffectProcessDelegate() = default;
    virtual void effectProcessFailure() = 0;
    virtual void effectProcessFinished(const Picture& picture) = 0;
};

class EffectsProcesser {
public:
    // A separate processor; the program uses the shared one. It must be idle
    // (no background run scheduled or in progress) when it is destroyed.
    EffectsProcesser();
    ~EffectsProcesser();
    EffectsProcesser(const EffectsProcesser&) = delete;
    EffectsProcesser& operator=(const EffectsProcesser&) = delete;

    // The program's processor, created on first use.
    static EffectsProcesser& sharedEffectsProcesser();

    // Not owned. Stored while holding access_sem.
    void setDelegate(EffectProcessDelegate* delegate);
    EffectProcessDelegate* delegate() const { return m_delegate; }

    // Factor applied to spatial parameters: the size of the bitmap processed
    // over the size of the image the parameters are given in.
    double paramScale() const { return m_paramScale.load(); }
    void setParamScale(double scale) { m_paramScale.store(scale); }
    // The user's region in parameter pixels; all zero for none.
    const Rect& selectedRect() const { return m_userSelectedRect; }
    void setSelectedRect(const Rect& rect) { m_userSelectedRect = rect; }

    // Copies, safe to take from any thread (even inside a delegate call).
    Array actionCommandList() const;
    Array actionCommandListLast() const;
    void setActionCommandListLast(Array list);
    // The list of the current build phase, for its owner.
    const Array& actionCommandListTemp() const { return m_actionCommandListTemp; }
    // A background run is scheduled or in progress.
    bool working() const { return m_working.load(); }

    // Build phase. Each begin waits for the previous phase to end and must be
    // paired with exactly one submit or cancel.
    void beginAddCommandDic();
    void addCommandDic(const Dictionary& dic);
    // Replaces the submitted list by the one built; ends the phase.
    void submitCommandDic();
    // Ends the phase without submitting; the built list stays readable in
    // actionCommandListTemp until the next begin.
    void cancelAddCommandDic();
    void clearCommandDicList();
    bool isCommandDicListEmpty();

    // The addCommand... family: one command each, appended with addCommandDic.
    void addCommandGray();
    void addCommandAntiColor();
    void addCommandComplementColor();
    void addCommandAutoLevels();
    void addCommandGasBlurByRadius_H(int radiusH, int radiusV);
    void addCommandExposureByValue(float value);
    void addCommandDiffuseBySpacing(int spacing, int radius);
    void addCommandUnsharpByRadius(int radius, int amount, int threshold);
    void addCommandColorBalanceByTransferColors(std::span<const TransferColor, 3> transferColors,
                                                bool preserveLuminosity);
    void addCommandColorLevelsByColorLevelData(const TColorLevelData& levelData);
    void addCommandHSLTintByHSL(const TinyHSL& hsl);
    void addCommandHSLAjustmentByHSLData(const HSLData& hslData, const HueRangeData& hueRangeData);
    void addCommandBrightnessContrastByBrightness(float brightness, float contrast);
    void addCommandReduceNoiseByMode(int mode);
    void addCommandZoomByScale(float scale);
    void addCommandRotateByDegrees(float degrees);
    void addCommandClipByRect(const Rect& rect);
    void addCommandFlipByFlipH(bool flipH, bool flipV);
    void addCommandEmbossByDegrees(float degrees, int highDegree, int amount);
    void addCommandMosaicsByGridWidth(int gridWidth);
    void addCommandDotByGridWidth(int gridWidth);
    void addCommandPaintingByRadius(int radius, int smoothness);
    void addCommandThresholdByLevels(int levels);
    void addCommandPosterizeByLevels(int levels);
    void addCommandEqualizeByEqualizeMode(int equalizeMode);
    void addCommandSoftGlowByRadius(int radius, float brightness, float sharpness);
    void addCommandRedEyeRemovalByThreshold(int threshold);
    void addCommandRetinexByLevel(int level, int scaleDivision, float dynamic);
    void addCommandRadialBlurByAmount(int amount, float scale);
    void addCommandNoiseByAmount(int amount, bool bColor);
    void addCommandSketchByRadius(int radius);
    void addCommandGradientOverlayByBlendMode(int blendMode, int style,
                                              std::span<const RGBPoint> points, int pointsNum,
                                              float degrees, float scale, float opacity,
                                              bool reverse);
    // The two values are narrowed to float.
    void addCommandShadowHighlightByShadows(double shadows, double highlights);
    void addCommandBokehByBlurRadius(int blurRadius, int centerRadius, int extendWidth, int degrees,
                                     const Point& centerPoint);
    void addCommandCurveBySplinePoints(std::span<const Vec3> points, int channel);
    void addCommandChannelMixByMixer(const TinyChannelMixer& mixer);
    void addCommandChannelMixGrayByScale(const TinyChannelMixScale& scale);
    void addCommandSelectiveColorByScaleSet(const ComplementScaleSet& scaleSet);
    void addCommandLomoByLomo(int lomo);
    void setSelection(const Rect& selection);
    void addCommandAction(const std::string& actionName);

    // Starts a background run of the submitted list on a copy of `bitmap`,
    // which is kept alive until the runs it starts are over. Does nothing
    // when a run is already in progress (the list waits for it) or when
    // nothing is submitted. waitPanel: show the wait panel (style 0, with
    // maskEnable) or the activity indicator (any other style) meanwhile.
    void startProcessWithBitmap(std::shared_ptr<const TiBitmapData> bitmap, int style,
                                bool waitPanel, bool maskEnable);
    void startProcessWithBitmap(std::shared_ptr<const TiBitmapData> bitmap, int style,
                                bool waitPanel);
    // Blocks until nothing is submitted and no background run is scheduled or
    // in progress. Throws std::logic_error on the main queue, where it could
    // never return.
    void waitProcessFinish();

    // Synchronous runs on the caller's thread. beginProcess waits for any
    // other run on a bitmap to end; endProcess lets the next one start.
    void beginProcess(TiBitmapData* bitmap);
    // Runs the list on the bitmap of beginProcess, the selection starting
    // empty; false at the first command that fails (the bitmap is then let go
    // of). An empty list succeeds. A list that asks for more than
    // kMaxListCommands commands through its named actions
    // (commands/NamedActions.h) is refused before its first command runs.
    bool runCommands(const Array& list);
    void endProcess();
    // beginProcess, runCommands, endProcess. The bitmap changes in place;
    // geometric commands give it a new pixel buffer.
    bool runCommands(const Array& list, TiBitmapData& bitmap);
    // The list run on a bitmap made from `picture`; an empty picture when the
    // bitmap can't be made ("Can not create context!" is recorded), when the
    // run fails, or when the result can't be made into a picture.
    Picture runCommands(const Array& list, const Picture& picture);

    // One ZOOM command with that scale.
    static Array taskListEffectZoomByScale(float scale);
    // The picture zoomed by `scale`; empty on failure.
    Picture fastZoomImage(const Picture& picture, float scale);

    // Runs one command on the current bitmap (commands/Dispatcher.cpp).
    bool runActionCommand(const ActionCommand& command);

    // What the dispatcher's rows reach through the processor while a list runs.
    TiBitmapData* currentBitmap() const { return m_bitmap; }
    Rect& currentSelection() { return m_selectedRect; }
    // How deeply named actions are nested in the command now running.
    int actionDepth() const { return m_actionDepth; }
    void setActionDepth(int depth) { m_actionDepth = depth; }
    // The named actions the list now running calls: the actions resource as
    // it was when the list began (outside a list, as it is now).
    std::shared_ptr<const NamedActions> namedActions() const;
    // How many commands the last list run on a bitmap dispatched, the calls
    // of named actions and their commands included; 0 when it was refused
    // before running.
    std::uint64_t commandsRun() const { return m_commandsRun; }

private:
    struct RunRequest;

    void addCommand(const ActionCommand& command);
    // runCommands(list) without the count that a list of its own gets.
    bool runList(const Array& list);
    void runInBackground(const std::shared_ptr<RunRequest>& request);
    void completeRun(const std::shared_ptr<RunRequest>& request);

    EffectProcessDelegate* m_delegate = nullptr;
    // Writers hold access_sem as well; the mutex only lets the getters read
    // without taking access_sem, which a delegate call already holds.
    mutable std::mutex m_listsMutex;
    Array m_actionCommandList;
    Array m_actionCommandListLast;
    Array m_actionCommandListTemp;
    DispatchSemaphore m_startProcessSem{1};
    DispatchSemaphore m_accessSem{1};
    DispatchSemaphore m_addTaskSem{1};
    DispatchSemaphore m_processingSem{1};
    std::atomic<bool> m_working{false};
    // Set by panels on the main queue, read by the worker.
    std::atomic<double> m_paramScale{1.0};
    Rect m_userSelectedRect;
    TiBitmapData* m_bitmap = nullptr;
    Rect m_selectedRect;
    int m_actionDepth = 0;
    bool m_listRunning = false;
    std::shared_ptr<const NamedActions> m_namedActions;
    std::uint64_t m_commandsRun = 0;
};

}  // namespace vantrel
