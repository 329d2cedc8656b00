// The edit session's save (a full-size rendering of the history, added to
// the photo library) and closing the editor.
#include <chrono>

#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "editing/EditViewController.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "platform/Dispatch.h"
#include "platform/PictureCodec.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

constexpr auto kCloseDelay = std::chrono::milliseconds(300);

void RecordError(const char* message) {
    ErrorManager::sharedErrorManager().setErrorString(message);
}

// The history run on the original photo at full size; empty (the reason
// recorded) when the original is missing or a command fails.
Picture RenderFullSize(Picture original, const Array& commands, EffectsProcesser& processor) {
    if (original.empty()) {
        RecordError("Can not load original image!");
        return Picture();
    }
    std::unique_ptr<TiBitmapData> bitmap = BitmapFromPicture(original);
    original = Picture();  // its pixels are in the bitmap now
    if (!bitmap) {
        RecordError("Can not create context!");
        return Picture();
    }
    processor.beginProcess(bitmap.get());
    processor.setParamScale(1.0);
    const bool done = processor.runCommands(commands);
    processor.endProcess();
    if (!done) return Picture();
    Picture result = PictureFromBitmap(*bitmap);
    if (result.empty()) RecordError("Can not allocate memory!");
    return result;
}

// The picture as it comes back from a PNG: with transparency kept, the saved
// photo is re-encoded before it is written.
Picture ThroughPng(const Picture& picture) {
    const Result<std::vector<unsigned char>> png = EncodePicture(picture, PictureFormat::Png);
    if (!png) return Picture();
    Result<Picture> decoded = DecodePicture(png.value());
    return decoded ? std::move(decoded).value() : Picture();
}

}  // namespace

struct EditViewController::SaveOutcome {
    enum class Kind { NoResult, WriteFailed, Written };
    Kind kind = Kind::NoResult;
    std::string reference;
};

void EditViewController::actionSaveImage() {
    if (m_busy || m_panelHost || m_closing || !m_photoEdited) return;
    setBusy("STR_SAVING");
    const bool keepTransparency = m_root.services().settings.activeAlphaChannel();
    auto self = shared_from_this();
    dispatchAsync(DispatchQueue::Default, [self, scaleMark = m_scaleMark,
                                           commands = m_history.commands(),
                                           working = m_pendingImage, keepTransparency,
                                           token = m_root.backgroundWork().begin()]() mutable {
        EditingServices& services = self->m_root.services();
        SaveOutcome outcome;
        Picture result =
            scaleMark < 1.0 ? RenderFullSize(self->getOriginalImage(), commands, services.processor)
                            : working;
        working = Picture();
        if (!result.empty() && keepTransparency) result = ThroughPng(result);
        if (!result.empty()) {
            const Result<std::string> added = services.library.addPicture(result, keepTransparency);
            outcome.kind = added ? SaveOutcome::Kind::Written : SaveOutcome::Kind::WriteFailed;
            outcome.reference = added ? added.value() : added.error();
        }
        result = Picture();
        dispatchAsync(DispatchQueue::Main, [self, outcome, token] { self->saveFinished(outcome); });
    });
}

void EditViewController::saveFinished(const SaveOutcome& outcome) {
    clearBusy();
    UIServices& ui = currentUIServices();
    if (outcome.kind != SaveOutcome::Kind::Written) {
        // Nothing was written and nothing is lost: the edit stays open.
        m_exitAfterSave = false;
        if (outcome.kind == SaveOutcome::Kind::WriteFailed) {
            ui.showAlert("Can not save photo!", "", "OK");
        } else {
            ErrorManager::sharedErrorManager().showErrorString();
        }
        return;
    }
    m_photoEdited = false;
    updateToolBarButtonStatus();
    writeJournal();
    m_root.notifyPhotoSaved(outcome.reference);
    if (m_exitAfterSave) closeEditor();
    ui.showAlert(ui.localizedString("STR_FINISH"), "", "OK!");
}

void EditViewController::actionCloseEditor() {
    if (m_busy || m_panelHost || m_closing) return;
    if (!m_photoEdited || m_history.commandIndex() < 1) {
        closeEditor();
        return;
    }
    UIServices& ui = currentUIServices();
    ActionSheetRequest sheet;
    sheet.title = ui.localizedString("STR_TITLE_SAVEPHOTO");
    sheet.buttons = {"Yes", "No", ui.localizedString("STR_CANCEL")};
    sheet.destructiveButtonIndex = 0;
    sheet.cancelButtonIndex = 2;
    std::weak_ptr<EditViewController> weak = weak_from_this();
    ui.showActionSheet(sheet, answerOnMainQueue([weak](int index) {
                           if (auto self = weak.lock()) self->closeSaveQuestionAnswered(index);
                       }));
}

void EditViewController::closeSaveQuestionAnswered(int index) {
    if (index == 0) {
        m_exitAfterSave = true;
        actionSaveImage();
    } else if (index == 1) {
        closeEditor();
    }
}

void EditViewController::closeEditor() {
    if (m_closing) return;
    clearCommands();
    m_closing = true;
    m_screen.barsShown = false;
    notify();
    removeJournal();
    PhotoAppViewController* root = &m_root;
    dispatchAfter(kCloseDelay, DispatchQueue::Main,
                  [root, editor = weak_from_this(), token = m_root.backgroundWork().begin()] {
                      // Only the editor that closed leaves the edit phase.
                      const auto self = editor.lock();
                      if (self && root->editViewController() == self.get()) root->exitEditor();
                  });
}

}  // namespace vantrel
