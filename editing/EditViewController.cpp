#include "editing/EditViewController.h"

#include <cmath>

#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "editing/EditJournal.h"
#include "editing/ImageCacheManager.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "editing/WorkingSize.h"
#include "platform/PictureScaling.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

Size SizeOf(const Picture& picture) {
    return Size{static_cast<float>(picture.width()), static_cast<float>(picture.height())};
}

// The size label: 100 points wide, 10 more for each number of four digits.
constexpr float kSizeLabelWidth = 100;
constexpr float kSizeLabelWideNumber = 10;
constexpr float kSizeLabelHeight = 30;

}  // namespace

EditViewController::EditViewController(PhotoAppViewController& root)
    : m_root(root), m_store(root.services().documentsDirectory) {}

EditViewController::~EditViewController() = default;

void EditViewController::viewDidLoad() {
    m_history.clearCommands();
    m_exitAfterSave = false;
    m_nameOfItemLastSelected.clear();
    m_tipsShowTimes = kTipsShowTimes;
    m_scaleMark = 1.0;
    loadPhoto();
}

bool EditViewController::loadPhoto() {
    Settings& settings = m_root.services().settings;
    m_isOriginalImageCached = true;
    const bool ok = editImageForImage(settings.tempLoadImage());
    settings.setTempLoadImage(Picture());
    if (!ok) {
        m_root.viewLoadFailure();
        return false;
    }
    m_screen.barsShown = true;
    notify();
    return true;
}

bool EditViewController::editImageForImage(const Picture& source) {
    Settings& settings = m_root.services().settings;
    EffectsProcesser& processor = m_root.services().processor;
    Picture picture = source;
    double originalScale = settings.originalScale();
    // A scale the intake never set (0, or nonsense) means the photo's own size.
    if (!(originalScale > 0.0) || originalScale > 1.0) {
        originalScale = 1.0;
        settings.setOriginalScale(1.0);
    }
    if (originalScale < 1.0 && !picture.empty()) {
        picture = processor.fastZoomImage(picture, static_cast<float>(originalScale));
    }
    if (picture.empty()) return false;

    m_originalScale = originalScale;
    m_imageUrl = settings.imageUrl();
    m_photoEdited = true;
    m_nameOfItemLastSelected.clear();
    processor.setSelectedRect(Rect{});
    if (settings.realTime()) {
        m_scaleMark = 1.0;
    } else {
        const Size working = sizeForSpeedLevel(0.0, SizeOf(picture), settings.photoMaxSize());
        m_scaleMark = static_cast<double>(working.width) / picture.width();
    }
    m_originalImageSize = SizeOf(picture);
    setPendingImageFromOriginalImage(picture);
    updateSizeLabel();
    updateToolBarButtonStatus();
    // In the background, in this order: the original, position 0, the journal.
    setOriginalImage(picture);
    m_store.queueHistoryPicture(m_pendingImage, 0);
    writeJournal();
    return true;
}

bool EditViewController::editImageForUrl(const std::string& reference) {
    const Result<Picture> picture = m_root.services().library.loadPicture(reference);
    if (!picture) return false;
    m_root.services().settings.setImageUrl(reference);
    return editImageForImage(picture.value());
}

Picture EditViewController::scaledForWork(const Picture& original) const {
    if (m_scaleMark == 1.0 || original.empty()) return original;
    const auto side = [this](int length) {
        return std::max(1, static_cast<int>(length * m_scaleMark + 0.5));
    };
    return ScalePicture(original, side(original.width()), side(original.height()));
}

void EditViewController::setPendingImageFromOriginalImage(const Picture& source) {
    Picture picture = source.empty() ? getOriginalImage() : source;
    if (!m_root.services().settings.realTime()) picture = scaledForWork(picture);
    myImageViewSetImage(picture);
}

void EditViewController::myImageViewSetImage(const Picture& picture) {
    m_pendingImage = picture;
    Picture display;
    if (!picture.empty()) {
        const Size shown =
            sizeForSpeedLevel(0.0, SizeOf(picture), m_root.services().settings.photoMaxSize());
        const double factor = static_cast<double>(shown.width) / picture.width();
        display = factor != 1.0 ? m_root.services().processor.fastZoomImage(
                                      picture, static_cast<float>(factor))
                                : picture;
    }
    if (display.empty()) {
        ErrorManager::sharedErrorManager().showErrorString();
        return;
    }
    m_screen.displayImage = display;
    updateSizeLabel();
}

void EditViewController::updateSizeLabel() {
    const int width = static_cast<int>(m_pendingImage.width() / m_scaleMark + 0.5);
    const int height = static_cast<int>(m_pendingImage.height() / m_scaleMark + 0.5);
    m_screen.sizeLabelText = std::to_string(width) + " x " + std::to_string(height);
    m_screen.sizeLabelWidth = kSizeLabelWidth + (width >= 1000 ? kSizeLabelWideNumber : 0) +
                              (height >= 1000 ? kSizeLabelWideNumber : 0);
    m_screen.sizeLabelHeight = kSizeLabelHeight;
    notify();
}

Picture EditViewController::getOriginalImage() {
    Picture original;
    if (m_isOriginalImageCached) original = m_store.readOriginal();
    // Without its file (a write that failed, a disk that was cleaned) the
    // original is the library photo at the size it was opened at.
    if (original.empty() && !m_imageUrl.empty()) {
        const Result<Picture> photo = m_root.services().library.loadPicture(m_imageUrl);
        if (photo && m_originalScale < 1.0) {
            original = m_root.services().processor.fastZoomImage(
                photo.value(), static_cast<float>(m_originalScale));
        } else if (photo) {
            original = photo.value();
        }
    }
    return original;
}

void EditViewController::setOriginalImage(const Picture& picture) {
    if (m_isOriginalImageCached) m_store.queueOriginal(picture);
}

bool EditViewController::saveImageCache(const Picture& picture, int id) {
    return m_store.writeHistoryPicture(picture, id);
}

Picture EditViewController::loadImageCacheByID(int id) {
    return m_store.readHistoryPicture(id);
}

void EditViewController::addCommands(const Array& list) {
    m_history.addCommands(list);
    updateToolBarButtonStatus();
    writeJournal();
}

void EditViewController::clearCommands() {
    m_history.clearCommands();
    updateToolBarButtonStatus();
}

void EditViewController::actionBackEffect() {
    if (m_busy || m_panelHost || m_closing || m_history.commandIndex() < 1) return;
    const Picture picture = loadImageCacheByID(m_history.commandIndex() - 1);
    if (picture.empty()) {
        currentUIServices().showAlert("Can not load image cache!", "Error", "OK!");
        return;
    }
    myImageViewSetImage(picture);
    m_history.stepBack();
    m_photoEdited = m_history.commandIndex() != 0;
    m_root.services().processor.setSelectedRect(Rect{});
    updateToolBarButtonStatus();
    writeJournal();
}

void EditViewController::actionRedoEffect() {
    if (m_busy || m_panelHost || m_closing || m_history.redoCommandsCount() < 1) return;
    const Picture picture = loadImageCacheByID(m_history.commandIndex() + 1);
    if (picture.empty()) {
        currentUIServices().showAlert("Can not load image cache!", "Error", "OK!");
        return;
    }
    myImageViewSetImage(picture);
    m_history.stepForward();
    m_photoEdited = true;
    m_root.services().processor.setSelectedRect(Rect{});
    updateToolBarButtonStatus();
    writeJournal();
}

void EditViewController::updateToolBarButtonStatus() {
    m_screen.undoEnabled = m_history.commandIndex() != 0;
    m_screen.redoEnabled = m_history.redoCommandsCount() != 0;
    m_screen.saveEnabled = m_photoEdited;
    m_screen.commandIndex = m_history.commandIndex();
    m_screen.historyCount = m_history.count();
    notify();
}

void EditViewController::popRectSelectionView() {
    if (m_busy || m_panelHost || m_closing) return;
    const Rect selected = m_root.services().processor.selectedRect();
    const auto scaled = [this](float value) { return static_cast<float>(value * m_scaleMark); };
    m_screen.rectSelectorShown = true;
    m_screen.rectSelectorRect = Rect{scaled(selected.x), scaled(selected.y), scaled(selected.width),
                                     scaled(selected.height)};
    notify();
}

void EditViewController::rectSelectionYES(const Rect& rect) {
    if (!m_screen.rectSelectorShown) return;
    // A rectangle from outside must at least be made of numbers.
    if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) ||
        !std::isfinite(rect.height)) {
        return;
    }
    const auto original = [this](float value) { return static_cast<float>(value / m_scaleMark); };
    m_root.services().processor.setSelectedRect(
        Rect{original(rect.x), original(rect.y), original(rect.width), original(rect.height)});
    m_screen.rectSelectorShown = false;
    notify();
}

void EditViewController::rectSelectionCancel() {
    m_screen.rectSelectorShown = false;
    notify();
}

void EditViewController::setBusy(const char* waitPanelTitleKey) {
    m_busy = true;
    m_root.showWaitPanelWithTitle(waitPanelTitleKey);
}

void EditViewController::clearBusy() {
    m_busy = false;
    m_root.removeWaitPanel();
}

void EditViewController::notify() {
    m_root.notifyEditScreen(m_screen);
}

}  // namespace vantrel
