#include "commands/EffectsProcesser.h"

#include <chrono>
#include <new>
#include <stdexcept>

#include "Core/global/TiLog.h"
#include "commands/ActionCommands.h"
#include "commands/ErrorManager.h"
#include "commands/NamedActions.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

constexpr const char kMemoryError[] = "Can not allocate memory!";
constexpr const char kContextError[] = "Can not create context!";

// Holds a semaphore's unit for the life of the scope.
class SemaphoreHold {
public:
    explicit SemaphoreHold(DispatchSemaphore& semaphore) : m_semaphore(semaphore) {
        m_semaphore.wait();
    }
    ~SemaphoreHold() { m_semaphore.signal(); }
    SemaphoreHold(const SemaphoreHold&) = delete;
    SemaphoreHold& operator=(const SemaphoreHold&) = delete;

private:
    DispatchSemaphore& m_semaphore;
};

}  // namespace

// What a background run captures, and what it hands to its completion.
struct EffectsProcesser::RunRequest {
    std::chrono::steady_clock::time_point start;
    std::shared_ptr<const TiBitmapData> source;
    int style = 0;
    bool waitPanel = false;
    bool success = false;
    Picture picture;
};

EffectsProcesser::EffectsProcesser() = default;
EffectsProcesser::~EffectsProcesser() = default;

EffectsProcesser& EffectsProcesser::sharedEffectsProcesser() {
    // Never destroyed: a background run may still be ending while the
    // program exits.
    static EffectsProcesser& instance = *new EffectsProcesser();
    return instance;
}

void EffectsProcesser::setDelegate(EffectProcessDelegate* delegate) {
    SemaphoreHold access(m_accessSem);
    m_delegate = delegate;
}

Array EffectsProcesser::actionCommandList() const {
    std::lock_guard lock(m_listsMutex);
    return m_actionCommandList;
}

Array EffectsProcesser::actionCommandListLast() const {
    std::lock_guard lock(m_listsMutex);
    return m_actionCommandListLast;
}

void EffectsProcesser::setActionCommandListLast(Array list) {
    std::lock_guard lock(m_listsMutex);
    m_actionCommandListLast = std::move(list);
}

void EffectsProcesser::beginAddCommandDic() {
    m_addTaskSem.wait();
    m_actionCommandListTemp.clear();
}

void EffectsProcesser::addCommandDic(const Dictionary& dic) {
    m_actionCommandListTemp.push_back(dic);
}

void EffectsProcesser::submitCommandDic() {
    {
        SemaphoreHold access(m_accessSem);
        std::lock_guard lock(m_listsMutex);
        m_actionCommandList = m_actionCommandListTemp;
    }
    m_addTaskSem.signal();
}

void EffectsProcesser::cancelAddCommandDic() {
    m_addTaskSem.signal();
}

void EffectsProcesser::clearCommandDicList() {
    SemaphoreHold access(m_accessSem);
    std::lock_guard lock(m_listsMutex);
    m_actionCommandList.clear();
}

bool EffectsProcesser::isCommandDicListEmpty() {
    SemaphoreHold access(m_accessSem);
    return m_actionCommandList.empty();
}

void EffectsProcesser::startProcessWithBitmap(std::shared_ptr<const TiBitmapData> bitmap, int style,
                                              bool waitPanel) {
    startProcessWithBitmap(std::move(bitmap), style, waitPanel, true);
}

void EffectsProcesser::startProcessWithBitmap(std::shared_ptr<const TiBitmapData> bitmap, int style,
                                              bool waitPanel, bool maskEnable) {
    {
        SemaphoreHold start(m_startProcessSem);
        if (m_working.load()) return;  // the submitted list waits for the run in progress
        m_working.store(true);
    }
    if (isCommandDicListEmpty()) {
        m_working.store(false);
        return;
    }
    if (waitPanel) {
        UIServices& ui = currentUIServices();
        if (style == 0) {
            ui.showWaitPanelWithTitle(ui.localizedString("STR_PROCESSING"), maskEnable);
        } else {
            ui.showActivityIndicator();
        }
    }
    auto request = std::make_shared<RunRequest>();
    request->source = std::move(bitmap);
    request->style = style;
    request->waitPanel = waitPanel;
    dispatchAsync(DispatchQueue::High, [this, request] { runInBackground(request); });
}

void EffectsProcesser::runInBackground(const std::shared_ptr<RunRequest>& request) {
    TiLog("开始执行任务");
    request->start = std::chrono::steady_clock::now();
    try {
        Array list;
        {
            SemaphoreHold access(m_accessSem);
            std::lock_guard lock(m_listsMutex);
            m_actionCommandListLast = m_actionCommandList;
            m_actionCommandList.clear();
            list = m_actionCommandListLast;
        }
        // A packed copy: the same bytes as a same-pitch copy of the packed
        // bitmaps panels hand in, and never a read past the end of a view.
        std::unique_ptr<TiBitmapData> copy =
            request->source ? request->source->Clone(false) : nullptr;
        if (!copy) {
            ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
        } else {
            // A failed run's picture would never be handed on: it is not made.
            if (runCommands(list, *copy)) {
                request->picture = PictureFromBitmap(*copy);
                request->success = !request->picture.empty();
                if (!request->success)
                    ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
            }
        }
    } catch (const std::bad_alloc&) {
        ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
        request->success = false;
    }
    dispatchAsync(DispatchQueue::Main, [this, request] { completeRun(request); });
}

void EffectsProcesser::completeRun(const std::shared_ptr<RunRequest>& request) {
    currentUIServices().removeWaitPanel();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - request->start;
    TiLog("用时:%f", elapsed.count());
    if (request->success) {
        SemaphoreHold access(m_accessSem);
        if (m_delegate) m_delegate->effectProcessFinished(request->picture);
    } else if (m_delegate) {
        m_delegate->effectProcessFailure();
    }
    request->picture = Picture();
    m_working.store(false);
    if (!isCommandDicListEmpty()) {
        startProcessWithBitmap(request->source, request->style, request->waitPanel);
    }
}

void EffectsProcesser::waitProcessFinish() {
    if (isMainQueueThread()) {
        throw std::logic_error("waitProcessFinish must not run on the main queue");
    }
    // Waiting in a semaphore (rather than sleeping) lends this thread's slot
    // to the dispatch pool, which may need it for the run being waited for.
    DispatchSemaphore pause(0);
    while (m_working.load() || !isCommandDicListEmpty()) {
        TiLog("working %d", m_working.load() ? 1 : 0);
        m_processingSem.wait();
        m_processingSem.signal();
        pause.waitFor(std::chrono::milliseconds(1));
    }
}

void EffectsProcesser::beginProcess(TiBitmapData* bitmap) {
    m_processingSem.wait();
    m_bitmap = bitmap;
}

void EffectsProcesser::endProcess() {
    m_processingSem.signal();
}

std::shared_ptr<const NamedActions> EffectsProcesser::namedActions() const {
    return m_listRunning ? m_namedActions : CurrentNamedActions();
}

bool EffectsProcesser::runCommands(const Array& list) {
    // A named action's list runs inside its caller's run, within its count.
    if (m_listRunning) return runList(list);
    m_commandsRun = 0;
    try {
        m_namedActions = CurrentNamedActions();
        if (ExpandedCommandCount(list, m_namedActions.get()) > kMaxListCommands) {
            ErrorManager::sharedErrorManager().setErrorString(TooManyCommandsError());
            m_bitmap = nullptr;
            return false;
        }
    } catch (const std::bad_alloc&) {
        ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
        m_bitmap = nullptr;
        return false;
    }
    m_listRunning = true;
    struct EndList {
        bool& running;
        ~EndList() { running = false; }
    } end{m_listRunning};
    return runList(list);
}

bool EffectsProcesser::runList(const Array& list) {
    m_selectedRect = Rect{};
    try {
        const std::vector<std::unique_ptr<ActionCommand>> commands = toActionCommandsArray(list);
        for (const std::unique_ptr<ActionCommand>& command : commands) {
            TiLog("%s", command->jsonStringValue().c_str());
            if (!runActionCommand(*command)) {
                m_bitmap = nullptr;
                return false;
            }
        }
    } catch (const std::bad_alloc&) {
        ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
        m_bitmap = nullptr;
        return false;
    }
    return true;
}

bool EffectsProcesser::runCommands(const Array& list, TiBitmapData& bitmap) {
    beginProcess(&bitmap);
    struct EndProcess {
        EffectsProcesser& processor;
        ~EndProcess() { processor.endProcess(); }
    } end{*this};
    return runCommands(list);
}

Picture EffectsProcesser::runCommands(const Array& list, const Picture& picture) {
    std::unique_ptr<TiBitmapData> bitmap = BitmapFromPicture(picture);
    if (!bitmap) {
        ErrorManager::sharedErrorManager().setErrorString(kContextError);
        return Picture();
    }
    if (!runCommands(list, *bitmap)) return Picture();
    Picture result = PictureFromBitmap(*bitmap);
    if (result.empty()) ErrorManager::sharedErrorManager().setErrorString(kMemoryError);
    return result;
}

Array EffectsProcesser::taskListEffectZoomByScale(float scale) {
    return Array{Value(ActionCommand_ZOOM::commandWithScale(scale)->dic())};
}

Picture EffectsProcesser::fastZoomImage(const Picture& picture, float scale) {
    return runCommands(taskListEffectZoomByScale(scale), picture);
}

}  // namespace vantrel
