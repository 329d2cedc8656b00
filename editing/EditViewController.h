// EditViewController: the edit session of one photo. It owns the working
// image (pendingImage, the original photo scaled by scaleMark), the history
// of applied command lists with its pictures, the open effect panel's host,
// and the save.
//
// Pictures: the original photo is kept in the file "OriginalImageCache", the
// working image after n steps in "ImageCache_n.png" (HistoryPictureStore);
// undo and redo only exchange those pictures, they never re-run commands.
// Saving renders the history onto the original at full size when the working
// image is smaller, and adds the result to the photo library. After every
// change of the history a journal (EditJournal) is written beside the
// pictures, so that an edit interrupted by a crash resumes with its history.
//
// Screen: the state a screen would show (EditScreenState) goes to the root's
// observer on every change; alerts, sheets, the wait panel and the title tip
// go through UIServices. While the wait panel is up (applying a panel,
// saving, resuming) the user's operations are ignored, as the panel's mask
// would block them.
//
// Threads: every public operation belongs to the main queue. Applying a
// panel runs on the high-priority queue; saving, resuming and the picture
// and journal writes on the default-priority queue; results come back to the
// main queue before the history or the screen changes.
#pragma once

#include <memory>
#include <string>

#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/EditHistory.h"
#include "editing/EditingObserver.h"
#include "editing/EffectPanelHost.h"
#include "editing/HistoryPictureStore.h"
#include "platform/Picture.h"

namespace vantrel {

class PhotoAppViewController;
struct EditJournal;

// The number of times a panel's title tip is offered in one edit.
inline constexpr int kTipsShowTimes = 1;

class EditViewController final : public std::enable_shared_from_this<EditViewController>,
                                 public EffectProcessViewControllerDelegate {
public:
    explicit EditViewController(PhotoAppViewController& root);
    ~EditViewController() override;
    EditViewController(const EditViewController&) = delete;
    EditViewController& operator=(const EditViewController&) = delete;

    // Opening. viewDidLoad sets the session's start values and loads the
    // photo the intake handed over (Settings' tempLoadImage).
    void viewDidLoad();
    bool loadPhoto();
    bool editImageForImage(const Picture& picture);
    bool editImageForUrl(const std::string& reference);
    // Instead of viewDidLoad: the edit of a journal, its pictures checked
    // and any that are missing or stale rendered again.
    void resumeFromJournal(const EditJournal& journal);

    // The working and display images.
    void setPendingImageFromOriginalImage(const Picture& picture);
    void myImageViewSetImage(const Picture& picture);
    void updateSizeLabel();
    Picture getOriginalImage();
    // Queues the write of the original's file.
    void setOriginalImage(const Picture& picture);
    bool saveImageCache(const Picture& picture, int id);
    Picture loadImageCacheByID(int id);

    // History.
    void addCommands(const Array& list);
    void clearCommands();
    int redoCommandsCount() const { return m_history.redoCommandsCount(); }
    Array commands() const { return m_history.commands(); }
    void actionBackEffect();  // undo
    void actionRedoEffect();  // redo
    void updateToolBarButtonStatus();

    // Effect panels.
    void actionEffectProcess(const std::string& title);
    // The panel host's Done: applies the panel when it has an effect, else Back.
    void actionDone();
    void effectProcessDone() override;
    void effectProcessBack() override;
    void closeEffectProcess();
    // The panel's result on working image `workingImage` (high-priority queue).
    Picture applyToImage(const Picture& workingImage);

    // Saving and closing.
    void actionSaveImage();
    void actionCloseEditor();
    void closeEditor();

    // Region selection, in working-image pixels on screen, kept in original
    // photo pixels.
    void popRectSelectionView();
    void rectSelectionYES(const Rect& rect);
    void rectSelectionCancel();

    // State.
    const EditScreenState& screenState() const { return m_screen; }
    const Picture& pendingImage() const { return m_pendingImage; }
    double scaleMark() const { return m_scaleMark; }
    Size originalImageSize() const { return m_originalImageSize; }
    double originalScale() const { return m_originalScale; }
    const std::string& imageUrl() const { return m_imageUrl; }
    const EditHistory& history() const { return m_history; }
    int commandIndex() const { return m_history.commandIndex(); }
    bool photoEdited() const { return m_photoEdited; }
    bool isOriginalImageCached() const { return m_isOriginalImageCached; }
    bool exitAfterSave() const { return m_exitAfterSave; }
    const std::string& nameOfItemLastSelected() const { return m_nameOfItemLastSelected; }
    int tipsShowTimes() const { return m_tipsShowTimes; }
    bool isBusy() const { return m_busy; }
    EffectPanelHost* panelHost() const { return m_panelHost.get(); }
    HistoryPictureStore& pictureStore() { return m_store; }

private:
    struct SaveOutcome;
    struct ResumeOutcome;

    Picture scaledForWork(const Picture& original) const;
    void setBusy(const char* waitPanelTitleKey);
    void clearBusy();
    void notify();
    void writeJournal();
    void removeJournal();
    void applyDone(const Picture& result, const Array& list, Size oldSize);
    void saveFinished(const SaveOutcome& outcome);
    // Off the main queue: the journal's original and every history picture,
    // made again where the file is missing or not the journal's.
    ResumeOutcome rebuildPictures(const EditJournal& journal);
    void resumeFinished(ResumeOutcome outcome);
    void closeSaveQuestionAnswered(int index);

    PhotoAppViewController& m_root;
    HistoryPictureStore m_store;
    EditHistory m_history;
    EditScreenState m_screen;
    Picture m_pendingImage;
    double m_scaleMark = 1.0;
    Size m_originalImageSize;
    double m_originalScale = 1.0;
    std::string m_imageUrl;
    bool m_photoEdited = false;
    bool m_isOriginalImageCached = false;
    bool m_exitAfterSave = false;
    std::string m_nameOfItemLastSelected;
    int m_tipsShowTimes = kTipsShowTimes;
    bool m_busy = false;
    bool m_closing = false;
    std::unique_ptr<EffectPanelHost> m_panelHost;
};

}  // namespace vantrel
