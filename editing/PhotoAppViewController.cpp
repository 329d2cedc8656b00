#include "editing/PhotoAppViewController.h"

#include <algorithm>
#include <chrono>

#include "commands/EffectsProcesser.h"
#include "editing/EditViewController.h"
#include "editing/EffectPanelHost.h"
#include "editing/ImageCacheManager.h"
#include "editing/Settings.h"
#include "editing/SettingsViewController.h"
#include "editing/WorkingSize.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/UIServices.h"
#include "platform/UprightPhoto.h"

namespace vantrel {
namespace {

// The pause before a screen change that follows hiding the bars.
constexpr auto kScreenChangeDelay = std::chrono::milliseconds(300);

Size SizeOf(const Picture& picture) {
    return Size{static_cast<float>(picture.width()), static_cast<float>(picture.height())};
}

void PlainAlert(const char* title) {
    currentUIServices().showAlert(title, "", "OK");
}

}  // namespace

PhotoAppViewController::PhotoAppViewController(EditingServices services)
    : m_services(std::move(services)) {
    if (const char* storeUrl = std::getenv("VANTREL_STORE_URL"); storeUrl && storeUrl[0]) {
        m_storeUrl = storeUrl;
    }
}

PhotoAppViewController::~PhotoAppViewController() {
    *m_alive = false;
    // Work that comes back to the main queue is run here, on the owner's thread.
    while (m_work.count() > 0) {
        drainMainQueue();
        m_work.waitUntilIdleFor(std::chrono::milliseconds(5));
    }
    drainMainQueue();
    m_editor.reset();
}

PhotoAppViewController& PhotoAppViewController::sharedRootViewController() {
    // Never destroyed: background work may still be running at exit.
    static PhotoAppViewController& shared = *[] {
        const Result<std::string> documents = DocumentsDirectory();
        auto* root = new PhotoAppViewController(EditingServices{
            Settings::sharedSettings(), EffectsProcesser::sharedEffectsProcesser(),
            ImageCacheManager::sharedManager(), PhotoLibrary(PhotoLibrary::DefaultFolder()),
            documents ? documents.value() : std::string()});
        root->setEffectPanelFactory(&EffectPanelRegistry::standard());
        return root;
    }();
    return shared;
}

void PhotoAppViewController::applicationDidFinishLaunching() {
    m_services.settings.runStartSequence(currentUIServices(), m_storeUrl);
}

void PhotoAppViewController::applicationDidEnterBackground() {
    m_services.settings.save();
}

void PhotoAppViewController::didReceiveMemoryWarning() {
    m_services.imageCache.removeAllImageCache();
    m_libraryPhotos.clear();
}

void PhotoAppViewController::setPhase(int phase) {
    m_prevPhase = m_phase;
    m_phase = phase;
}

void PhotoAppViewController::jumpToPhase(int phase) {
    if (phase < kPhaseMain || phase > kPhaseSettings) return;
    if (phase == m_phase) {
        if (phase == kPhaseBrowse && m_browser) {
            m_browser->currentReference = m_services.settings.imageUrl();
            if (m_observer) m_observer->phaseChanged(m_phase, m_prevPhase);
        }
        return;
    }
    // The edit screen's work in flight (a save, a step) finishes first: it
    // owns the session's files until then.
    if (m_phase == kPhaseEdit && m_editor && m_editor->isBusy()) return;
    const int from = m_phase;
    // The browser's photo is the one edited.
    if (phase == kPhaseEdit && from == kPhaseBrowse && m_browser) {
        m_services.settings.setImageUrl(m_browser->currentReference);
    }
    setPhase(phase);
    // Leaving a phase releases its screen.
    if (phase != kPhaseEdit) m_editor.reset();
    if (phase != kPhaseBrowse) m_browser.reset();
    if (phase != kPhaseSettings) m_settingsScreen.reset();
    if (m_observer) m_observer->phaseChanged(m_phase, m_prevPhase);
    switch (phase) {
        case kPhaseBrowse:
            enterBrowsePhase(from);
            break;
        case kPhaseEdit:
            enterEditPhase();
            break;
        case kPhaseSettings:
            m_settingsScreen = std::make_unique<SettingsViewController>(m_services.settings);
            break;
        default:
            break;
    }
}

void PhotoAppViewController::enterBrowsePhase(int from) {
    m_browser = std::make_unique<Browser>();
    m_browser->currentReference = m_services.settings.imageUrl();
    if (from == kPhaseEdit) reloadLibrary();
}

void PhotoAppViewController::enterEditPhase() {
    auto editor = std::make_shared<EditViewController>(*this);
    m_editor = editor;
    // The editor may send the root back (a photo that can't load): it stays
    // alive through its own call.
    if (m_pendingResume) {
        EditJournal journal = std::move(*m_pendingResume);
        m_pendingResume.reset();
        editor->resumeFromJournal(journal);
    } else {
        editor->viewDidLoad();
    }
}

void PhotoAppViewController::exitEditor() {
    jumpToPhase(m_prevPhase);
}

void PhotoAppViewController::getPhotoFromPhotoAlbums() {
    if (!m_services.library.isAvailable()) {
        PlainAlert("Can not access Photo Albums");
        return;
    }
    m_picker = PickerSource::Library;
    if (m_observer) m_observer->pickerChanged(m_picker);
    reloadLibrary();
}

void PhotoAppViewController::getPhotoFromCamera() {
    if (!m_cameraAvailable) {
        PlainAlert("Can not access Camera");
        return;
    }
    m_picker = PickerSource::Camera;
    if (m_observer) m_observer->pickerChanged(m_picker);
}

void PhotoAppViewController::closePicker() {
    m_handlingPick = false;
    if (m_picker == PickerSource::None) return;
    m_picker = PickerSource::None;
    if (m_observer) m_observer->pickerChanged(m_picker);
}

void PhotoAppViewController::imagePickerControllerDidCancel() {
    closePicker();
}

void PhotoAppViewController::imagePickerControllerDidFinishPicking(const PickedPhoto& photo) {
    if (m_handlingPick || m_picker == PickerSource::None) return;
    m_handlingPick = true;
    m_services.settings.setOriginalScale(1.0);
    m_services.settings.setTempLoadImage(Picture());
    if (m_picker == PickerSource::Library) {
        pickFromLibrary(photo);
        return;
    }
    // A picture from elsewhere has no library reference: none of an
    // earlier photo may stand for it.
    m_services.settings.setImageUrl({});
    takePictureIn(RedrawUpright(photo.picture, photo.orientation), false);
}

void PhotoAppViewController::pickFromLibrary(const PickedPhoto& photo) {
    if (m_libraryLoading) {
        m_handlingPick = false;
        return;
    }
    m_services.settings.setImageUrl(photo.reference);
    if (!m_libraryPhotos.empty()) {
        const bool loaded = std::any_of(
            m_libraryPhotos.begin(), m_libraryPhotos.end(),
            [&](const LibraryPhoto& entry) { return entry.reference == photo.reference; });
        if (loaded) {
            closePicker();
            jumpToBrowsePhase();
        } else {
            m_openBrowserWhenLibraryRead = true;
            reloadLibrary();
        }
        return;
    }
    takePictureIn(RedrawUpright(photo.picture, photo.orientation), false);
}

void PhotoAppViewController::takePictureIn(const Picture& upright, bool fromBrowser) {
    if (checkPhoto(upright)) return;
    if (!fromBrowser) {
        closePicker();
        jumpToEditPhase();
        return;
    }
    dispatchAfter(kScreenChangeDelay, DispatchQueue::Main,
                  [this, alive = std::weak_ptr<bool>(m_alive), token = m_work.begin()] {
                      if (!alive.expired()) jumpToEditPhase();
                  });
}

std::string PhotoAppViewController::browserPhotoReference() const {
    return m_browser ? m_browser->currentReference : std::string();
}

void PhotoAppViewController::browserShowPhoto(const std::string& reference) {
    if (!m_browser) return;
    m_browser->currentReference = reference;
    m_services.settings.setImageUrl(reference);
}

void PhotoAppViewController::browserEditPhoto() {
    if (!m_browser || m_browser->currentReference.empty()) return;
    const std::string reference = m_browser->currentReference;
    showWaitPanelWithTitle("STR_PROCESSING");
    dispatchAsync(DispatchQueue::Default, [this, library = m_services.library, reference,
                                           token = m_work.begin()] {
        Result<Picture> picture = library.loadPicture(reference);
        dispatchAsync(DispatchQueue::Main, [this, picture = std::move(picture), token] {
            removeWaitPanel();
            if (!picture) {
                PlainAlert("Can not get this photo!");
                return;
            }
            m_services.settings.setOriginalScale(1.0);
            takePictureIn(picture.value(), true);
        });
    });
}

void PhotoAppViewController::openLibraryPhoto(const std::string& reference) {
    if (!PhotoLibrary::IsValidReference(reference) || m_phase == kPhaseEdit) return;
    jumpToBrowsePhase();
    browserShowPhoto(reference);
    browserEditPhoto();
}

void PhotoAppViewController::openPicture(const Picture& stored, int orientation) {
    if (m_phase == kPhaseEdit) return;
    m_picker = PickerSource::Camera;
    m_handlingPick = false;
    imagePickerControllerDidFinishPicking(PickedPhoto{stored, orientation, {}});
}

bool PhotoAppViewController::checkPhoto(const Picture& picture) {
    Settings& settings = m_services.settings;
    settings.setOriginalScale(1.0);
    settings.setTempLoadImage(picture);
    if (settings.alwaysUseOriginalSize()) return false;
    const Size maxSize = settings.photoMaxSize();
    const Size levelOne = sizeForSpeedLevel(1.0, SizeOf(picture), maxSize);
    const std::vector<SizeChoice> choices = sizeChoicesForLevelOne(levelOne, maxSize);
    if (choices.empty()) return false;

    UIServices& ui = currentUIServices();
    ActionSheetRequest sheet;
    sheet.title = ui.localizedString("STR_TITLE_CHOOSESIZE");
    for (const SizeChoice& choice : choices) {
        sheet.buttons.push_back(ui.localizedString(choice.key) + " " +
                                std::to_string(choice.width) + " x " +
                                std::to_string(choice.height));
    }
    sheet.buttons.push_back(ui.localizedString("STR_CANCEL"));
    sheet.cancelButtonIndex = static_cast<int>(sheet.buttons.size()) - 1;
    const int buttonCount = static_cast<int>(sheet.buttons.size());
    ui.showActionSheet(sheet, answerOnMainQueue([this, alive = std::weak_ptr<bool>(m_alive),
                                                 buttonCount](int index) {
                           if (!alive.expired()) sizeChoiceAnswered(index, buttonCount);
                       }));
    return true;
}

void PhotoAppViewController::sizeChoiceAnswered(int index, int buttonCount) {
    showWaitPanelWithTitle("STR_PROCESSING");
    dispatchAsync(DispatchQueue::High, [this, index, buttonCount, token = m_work.begin()] {
        dispatchAsync(DispatchQueue::Main, [this, index, buttonCount, token] {
            removeWaitPanel();
            closePicker();
            Settings& settings = m_services.settings;
            const Picture picture = settings.tempLoadImage();
            const std::optional<double> scale = originalScaleForChoice(
                index, buttonCount, SizeOf(picture), settings.photoMaxSize());
            if (picture.empty() || !scale) {
                settings.setTempLoadImage(Picture());
                return;
            }
            settings.setOriginalScale(*scale);
            jumpToEditPhase();
        });
    });
}

void PhotoAppViewController::showWaitPanelWithTitle(const std::string& titleKey, bool maskEnable) {
    UIServices& ui = currentUIServices();
    ui.showWaitPanelWithTitle(ui.localizedString(titleKey), maskEnable);
}

void PhotoAppViewController::removeWaitPanel() {
    currentUIServices().removeWaitPanel();
}

void PhotoAppViewController::viewLoadFailure() {
    PlainAlert("Load photo error!");
    jumpToPhase(m_prevPhase);
}

void PhotoAppViewController::reloadLibrary() {
    if (m_libraryLoading) return;
    m_libraryLoading = true;
    dispatchAsync(DispatchQueue::Default,
                  [this, library = m_services.library, token = m_work.begin()] {
                      Result<std::vector<LibraryPhoto>> photos = library.listPhotos();
                      dispatchAsync(DispatchQueue::Main, [this, photos = std::move(photos), token] {
                          libraryRead(photos ? photos.value() : std::vector<LibraryPhoto>{});
                      });
                  });
}

void PhotoAppViewController::libraryRead(std::vector<LibraryPhoto> photos) {
    m_libraryPhotos = std::move(photos);
    m_libraryLoading = false;
    if (m_openBrowserWhenLibraryRead) {
        m_openBrowserWhenLibraryRead = false;
        closePicker();
        jumpToBrowsePhase();
    } else if (m_phase == kPhaseBrowse) {
        jumpToBrowsePhase();  // arranges the browser on the photo of imageUrl
    }
}

void PhotoAppViewController::setLibraryFolder(std::string folder) {
    m_services.library = PhotoLibrary(std::move(folder));
    m_libraryPhotos.clear();
}

std::string PhotoAppViewController::journalPath() const {
    return m_services.documentsDirectory + "/" + kEditJournalFileName;
}

std::optional<EditJournal> PhotoAppViewController::unfinishedEdit() const {
    if (m_services.documentsDirectory.empty()) return std::nullopt;
    const Result<std::vector<unsigned char>> bytes =
        ReadWholeFile(journalPath(), kMaxEditJournalBytes);
    if (!bytes) return std::nullopt;
    return ParseEditJournal(std::string_view(reinterpret_cast<const char*>(bytes.value().data()),
                                             bytes.value().size()));
}

bool PhotoAppViewController::hasUnfinishedEdit() const {
    return unfinishedEdit().has_value();
}

bool PhotoAppViewController::resumeUnfinishedEdit() {
    if (m_phase == kPhaseEdit) return false;
    std::optional<EditJournal> journal = unfinishedEdit();
    if (!journal) return false;
    m_pendingResume = std::move(journal);
    jumpToEditPhase();
    return true;
}

void PhotoAppViewController::notifyEditScreen(const EditScreenState& state) {
    if (m_observer) m_observer->editScreenChanged(state);
}

void PhotoAppViewController::notifyPhotoSaved(const std::string& reference) {
    if (m_observer) m_observer->photoSaved(reference);
}

}  // namespace vantrel
