// PhotoAppViewController: the root of the editing workflow. It moves between
// the four phases (1 main menu, 2 library browser, 3 edit, 4 settings),
// takes photos in from the picker (library or camera), the browser or an
// upload, offers the size choice for large photos, shows the wait panel, and
// owns the edit screen while phase 3 lasts.
//
// Everything a screen would show goes through UIServices (alerts, sheets,
// the wait panel, the title tip) or to the EditingObserver (phases, the
// picker, the edit screen's state), so the workflow runs without a screen:
// the shells render it, tests record it.
//
// Threads: every operation belongs to the main queue; loading photos,
// handing over the size choice and the edit screen's work run on the global
// queues and come back to the main queue. The destructor waits for that
// work.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editing/BackgroundWork.h"
#include "editing/EditJournal.h"
#include "editing/EditingObserver.h"
#include "platform/PhotoLibrary.h"
#include "platform/Picture.h"

namespace vantrel {

class EditViewController;
class EffectPanelFactory;
class EffectsProcesser;
class ImageCacheManager;
class Settings;
class SettingsViewController;

// The shared objects the workflow works with.
struct EditingServices {
    Settings& settings;
    EffectsProcesser& processor;
    ImageCacheManager& imageCache;
    PhotoLibrary library;
    std::string documentsDirectory;  // the session's pictures and journal
};

// A picture as the picker hands it over: the stored pixels, their EXIF
// orientation, and for the library source the photo's reference.
struct PickedPhoto {
    Picture picture;
    int orientation = 1;
    std::string reference;
};

// Where the rate request's "STR_OK" leads unless the shell sets another.
inline constexpr char kDefaultStoreUrl[] = "https://example.org/vantrel/rate";

class PhotoAppViewController {
public:
    explicit PhotoAppViewController(EditingServices services);
    ~PhotoAppViewController();
    PhotoAppViewController(const PhotoAppViewController&) = delete;
    PhotoAppViewController& operator=(const PhotoAppViewController&) = delete;

    // The program's root over the shared objects, the library in
    // PhotoLibrary::DefaultFolder() until setLibraryFolder.
    static PhotoAppViewController& sharedRootViewController();

    // Program events, from the shells.
    void applicationDidFinishLaunching();  // the start sequence of Settings
    void applicationDidEnterBackground();  // saves the settings
    void didReceiveMemoryWarning();

    // Phases.
    int phase() const { return m_phase; }
    int prevPhase() const { return m_prevPhase; }
    void jumpToPhase(int phase);
    void jumpToMainPhase() { jumpToPhase(kPhaseMain); }
    void jumpToBrowsePhase() { jumpToPhase(kPhaseBrowse); }
    void jumpToEditPhase() { jumpToPhase(kPhaseEdit); }
    void jumpToSettingsPhase() { jumpToPhase(kPhaseSettings); }
    void exitEditor();

    // The picker. A source that is not available shows its alert instead.
    void getPhotoFromPhotoAlbums();
    void getPhotoFromCamera();
    PickerSource pickerSource() const { return m_picker; }
    void imagePickerControllerDidFinishPicking(const PickedPhoto& photo);
    void imagePickerControllerDidCancel();

    // The browser: the photo it shows, and editing it (loads the photo in
    // the background, then the size choice).
    std::string browserPhotoReference() const;
    void browserShowPhoto(const std::string& reference);
    void browserEditPhoto();

    // The shells' two ways in: a library photo (browse to it and edit it),
    // or a picture from elsewhere (as the camera hands one over).
    void openLibraryPhoto(const std::string& reference);
    void openPicture(const Picture& stored, int orientation);

    // Hands `picture` (upright) to the edit screen and offers the size
    // choice; true when the sheet was shown.
    bool checkPhoto(const Picture& picture);

    void showWaitPanelWithTitle(const std::string& titleKey, bool maskEnable = true);
    void removeWaitPanel();
    // The edit screen could not load its photo.
    void viewLoadFailure();

    // The library as last read.
    const std::vector<LibraryPhoto>& libraryPhotos() const { return m_libraryPhotos; }
    bool isLibraryLoading() const { return m_libraryLoading; }
    void reloadLibrary();
    void setLibraryFolder(std::string folder);
    const PhotoLibrary& library() const { return m_services.library; }

    // The edit screen while phase 3 lasts, else null.
    EditViewController* editViewController() const { return m_editor.get(); }
    SettingsViewController* settingsViewController() const { return m_settingsScreen.get(); }

    // An edit that was not closed (the program stopped during it) can be
    // resumed with its whole history.
    bool hasUnfinishedEdit() const;
    std::optional<EditJournal> unfinishedEdit() const;
    bool resumeUnfinishedEdit();

    // Shell configuration.
    void setObserver(EditingObserver* observer) { m_observer = observer; }
    void setEffectPanelFactory(EffectPanelFactory* factory) { m_panelFactory = factory; }
    void setCameraAvailable(bool available) { m_cameraAvailable = available; }
    void setStoreUrl(std::string url) { m_storeUrl = std::move(url); }

    // For the edit screen.
    EditingServices& services() { return m_services; }
    BackgroundWork& backgroundWork() { return m_work; }
    EffectPanelFactory* effectPanelFactory() const { return m_panelFactory; }
    void notifyEditScreen(const EditScreenState& state);
    void notifyPhotoSaved(const std::string& reference);

private:
    struct Browser {
        std::string currentReference;
    };

    void setPhase(int phase);
    void enterBrowsePhase(int from);
    void enterEditPhase();
    void closePicker();
    void pickFromLibrary(const PickedPhoto& photo);
    void takePictureIn(const Picture& upright, bool fromBrowser);
    void sizeChoiceAnswered(int index, int buttonCount);
    void libraryRead(std::vector<LibraryPhoto> photos);
    std::string journalPath() const;

    EditingServices m_services;
    BackgroundWork m_work;
    EditingObserver* m_observer = nullptr;
    EffectPanelFactory* m_panelFactory = nullptr;
    bool m_cameraAvailable = false;
    std::string m_storeUrl = kDefaultStoreUrl;

    int m_phase = kPhaseMain;
    int m_prevPhase = kPhaseMain;
    PickerSource m_picker = PickerSource::None;
    bool m_handlingPick = false;
    std::unique_ptr<Browser> m_browser;
    std::shared_ptr<EditViewController> m_editor;
    std::unique_ptr<SettingsViewController> m_settingsScreen;

    std::vector<LibraryPhoto> m_libraryPhotos;
    bool m_libraryLoading = false;
    bool m_openBrowserWhenLibraryRead = false;
    std::optional<EditJournal> m_pendingResume;
    // Answers to questions asked by this root look at it before running.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace vantrel
