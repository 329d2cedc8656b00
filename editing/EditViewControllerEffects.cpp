// The edit session's effect panels: opening one over the working image,
// applying its result as one step of the history, leaving it.
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "editing/EditViewController.h"
#include "editing/ImageCacheManager.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "platform/Dispatch.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

constexpr char kNoPanelError[] = "Not find panel!";

void ShowCanNotSavePhoto() {
    currentUIServices().showAlert("Can not save photo!", "", "OK");
}

}  // namespace

void EditViewController::actionEffectProcess(const std::string& title) {
    if (m_busy || m_panelHost || m_closing || m_pendingImage.empty()) return;
    setBusy("STR_PROCESSING");
    const bool sameAsLast = title == m_nameOfItemLastSelected;
    m_nameOfItemLastSelected = title;
    auto self = shared_from_this();
    BackgroundWork::Token token = m_root.backgroundWork().begin();
    dispatchAsync(DispatchQueue::Low, [self, title, sameAsLast, token] {
        dispatchAsync(DispatchQueue::Main, [self, title, sameAsLast, token] {
            self->clearBusy();
            EffectPanelFactory* factory = self->m_root.effectPanelFactory();
            EditingServices& services = self->m_root.services();
            EffectPanelRequest request{self->m_pendingImage, title, self->m_scaleMark,
                                       &services.processor, self.get()};
            std::unique_ptr<EffectPanelHost> host =
                factory ? factory->makePanelHost(request) : nullptr;
            if (!host) {
                if (!factory) ErrorManager::sharedErrorManager().setErrorString(kNoPanelError);
                ErrorManager::sharedErrorManager().showErrorString();
                return;
            }
            self->m_panelHost = std::move(host);
            self->m_screen.openPanelTitle = title;
            self->notify();
            if (services.settings.showTips() && sameAsLast && self->m_tipsShowTimes >= 1) {
                currentUIServices().showTitleTip(title);
                --self->m_tipsShowTimes;
            }
        });
    });
}

void EditViewController::actionDone() {
    if (!m_panelHost || m_busy) return;
    if (m_panelHost->appliedEffect()) {
        effectProcessDone();
    } else {
        effectProcessBack();
    }
}

void EditViewController::effectProcessDone() {
    if (!m_panelHost || m_busy) return;
    m_photoEdited = true;
    setBusy("STR_PROCESSING");
    // The step's picture goes to the position after the current one.
    const int id = m_history.commandIndex() + 1;
    const Picture working = m_pendingImage;
    const double scaleMark = m_scaleMark;
    auto self = shared_from_this();
    BackgroundWork::Token token = m_root.backgroundWork().begin();
    dispatchAsync(DispatchQueue::High, [self, working, id, scaleMark, token] {
        EffectsProcesser& processor = self->m_root.services().processor;
        processor.setParamScale(scaleMark);
        const Picture result = self->applyToImage(working);
        if (!result.empty()) {
            self->m_store.queueHistoryPicture(result, id, [](bool written) {
                if (!written) dispatchAsync(DispatchQueue::Main, ShowCanNotSavePhoto);
            });
        }
        const Array list = processor.actionCommandListLast();
        const Size oldSize{static_cast<float>(working.width()),
                           static_cast<float>(working.height())};
        dispatchAsync(DispatchQueue::Main, [self, result, list, oldSize, token] {
            self->applyDone(result, list, oldSize);
        });
    });
}

Picture EditViewController::applyToImage(const Picture& workingImage) {
    EffectsProcesser& processor = m_root.services().processor;
    // A preview may still be running; its picture is what the panel shows.
    processor.waitProcessFinish();
    EffectPanelHost* host = m_panelHost.get();
    if (!host) return Picture();
    const Picture review = host->reviewImage();
    if (host->allowUseReviewAsResult() && !review.empty() &&
        review.width() == workingImage.width() && review.height() == workingImage.height()) {
        processor.setActionCommandListLast(host->effectsTaskList());
        return review;
    }
    const Array list = host->effectsTaskList();
    Picture result = processor.runCommands(list, workingImage);
    processor.setActionCommandListLast(list);
    return result;
}

void EditViewController::applyDone(const Picture& result, const Array& list, Size oldSize) {
    if (!result.empty()) {
        myImageViewSetImage(result);
        addCommands(list);
        if (result.width() != oldSize.width || result.height() != oldSize.height) {
            m_root.services().processor.setSelectedRect(Rect{});
        }
    } else {
        ErrorManager::sharedErrorManager().showErrorString();
    }
    clearBusy();
    closeEffectProcess();
}

void EditViewController::effectProcessBack() {
    if (!m_panelHost || m_busy) return;
    closeEffectProcess();
}

void EditViewController::closeEffectProcess() {
    // While a panel is being applied its host is still read.
    if (!m_panelHost || m_busy) return;
    m_panelHost.reset();
    // A released panel leaves the processor at full scale and the look
    // previews' memory free.
    m_root.services().processor.setParamScale(1.0);
    m_root.services().imageCache.removeAllImageCache();
    m_screen.openPanelTitle.clear();
    notify();
}

}  // namespace vantrel
