// The root's phases and the photo intake: picker, browser, pictures from
// elsewhere, the working size and its sheet, and the failure alerts.
#include <gtest/gtest.h>

#include <filesystem>

#include "editing/SettingsViewController.h"
#include "editing/WorkingSize.h"
#include "support/EditingWorld.h"

namespace vantrel {
namespace {

using test::EditingWorld;

constexpr Size kMax{2592, 2592};

TEST(SizeForSpeedLevel, GivesTheWorkingSize) {
    struct Case {
        Size photo;
        double level;
        Size expected;
    };
    // The four sizes of a 3264 x 2448 photo are pinned by the size sheet of
    // PhotoIntake.ALarge3264By2448PhotoOffersFourSizesAndFastWorksAtItsOwnSize.
    const Case cases[] = {
        // Smaller photos keep their own size, fractions included.
        {{640, 959}, 0.0, {640, 959}},
        {{100.7f, 50.2f}, 1.0, {100.7f, 50.2f}},
        // Exactly 614400 pixels is worked on: its level-0 size.
        {{640, 960}, 1.0, {640, 960}},
        // A portrait photo, and one within photoMaxSize at level 1.
        {{2448, 3264}, 0.0, {678, 904}},
        {{2048, 1536}, 1.0, {2048, 1536}},
    };
    for (const Case& c : cases) {
        const Size size = sizeForSpeedLevel(c.level, c.photo, kMax);
        EXPECT_EQ(size.width, c.expected.width) << c.photo.width << " at " << c.level;
        EXPECT_EQ(size.height, c.expected.height) << c.photo.width << " at " << c.level;
    }
}

TEST(SizeChoices, TheButtonCountFollowsThePixelCountAndEachButtonItsScale) {
    // k = trunc(pixels / 614400 / 2 + 0.5), limited to 2..4, buttons k.
    struct Case {
        Size levelOne;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {{640, 960}, {}},  // 614400 pixels or fewer: no sheet
        {{1000, 700}, {"STR_NOW", "STR_FAST"}},
        {{2048, 1536}, {"STR_NOW", "STR_COMMON", "STR_FAST"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> keys;
        for (const SizeChoice& choice : sizeChoicesForLevelOne(c.levelOne, kMax)) {
            keys.push_back(choice.key);
        }
        EXPECT_EQ(keys, c.keys) << c.levelOne.width << " x " << c.levelOne.height;
    }
    // NOW sets originalScale to 2993 / 3264 (FAST's 904 / 3264 the flow below
    // pins); cancel (the fifth button) sets none.
    EXPECT_DOUBLE_EQ(*originalScaleForChoice(0, 5, {3264, 2448}, kMax), 2993.0 / 3264.0);
    EXPECT_FALSE(originalScaleForChoice(4, 5, {3264, 2448}, kMax));
    EXPECT_FALSE(originalScaleForChoice(-1, 5, {3264, 2448}, kMax));
}

class PhotoIntake : public testing::Test {
protected:
    EditingWorld world;
};

TEST_F(PhotoIntake, ALarge3264By2448PhotoOffersFourSizesAndFastWorksAtItsOwnSize) {
    world.OpenPicture(test::PhotoPicture(3264, 2448), std::nullopt);
    EXPECT_EQ(world.ui.pendingQuestion(),
              "sheet([STR_TITLE_CHOOSESIZE] | [STR_NOW] 2993 x 2245 | [STR_SLOW] 2498 x 1874 | "
              "[STR_COMMON] 1878 x 1409 | [STR_FAST] 904 x 678 | [STR_CANCEL] | destructive -1 | "
              "cancel 4)");
    EXPECT_EQ(world.root().phase(), kPhaseMain);

    world.ui.clear();
    world.ui.answer(3);  // STR_FAST
    world.Settle();
    EXPECT_EQ(world.ui.shown()[0], "waitPanel([STR_PROCESSING] | mask)");
    EXPECT_EQ(world.ui.shown()[1], "removeWaitPanel");
    EXPECT_DOUBLE_EQ(world.settings.originalScale(), 904.0 / 3264.0);
    ASSERT_EQ(world.root().phase(), kPhaseEdit);
    EditViewController& editor = world.editor();
    // The reduced photo is below 614400 pixels: worked on at its own size.
    EXPECT_EQ(editor.scaleMark(), 1.0);
    const Picture& working = editor.pendingImage();
    EXPECT_LT(working.width() * working.height(), 614400);
    EXPECT_EQ(world.observer.last.sizeLabelText,
              std::to_string(working.width()) + " x " + std::to_string(working.height()));
    EXPECT_EQ(world.observer.last.sizeLabelWidth, 100);
    EXPECT_TRUE(world.observer.last.saveEnabled);
    EXPECT_FALSE(world.observer.last.undoEnabled);
    EXPECT_TRUE(world.settings.tempLoadImage().empty());
}

TEST_F(PhotoIntake, CancelLeavesThePhotoWhereItWas) {
    world.OpenPicture(test::PhotoPicture(1600, 1200), 2);  // NOW, FAST, CANCEL
    EXPECT_EQ(world.root().phase(), kPhaseMain);
    EXPECT_EQ(world.root().editViewController(), nullptr);
    EXPECT_TRUE(world.settings.tempLoadImage().empty());
}

TEST_F(PhotoIntake, SmallPhotosAndAlwaysUseOriginalSizeOpenWithoutASheet) {
    world.settings.setImageUrl("old.png");
    world.OpenPicture(test::PhotoPicture(800, 600), std::nullopt);
    EXPECT_FALSE(world.ui.pendingQuestion());
    ASSERT_EQ(world.root().phase(), kPhaseEdit);
    EXPECT_EQ(world.editor().scaleMark(), 1.0);
    EXPECT_EQ(world.editor().imageUrl(), "");  // a picture from elsewhere has no reference
    world.editor().actionCloseEditor();
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseMain);

    world.settings.setAlwaysUseOriginalSize(true);
    world.OpenPicture(test::PhotoPicture(3264, 2448), std::nullopt);
    EXPECT_FALSE(world.ui.pendingQuestion());
    ASSERT_EQ(world.root().phase(), kPhaseEdit);
    EditViewController& editor = world.editor();
    // The whole photo is the original; the working image its level-0 size.
    EXPECT_DOUBLE_EQ(editor.scaleMark(), 904.0 / 3264.0);
    EXPECT_EQ(editor.pendingImage().width(), 904);
    EXPECT_EQ(editor.pendingImage().height(), 678);
    EXPECT_EQ(world.observer.last.sizeLabelText, "3264 x 2448");
    EXPECT_EQ(world.observer.last.sizeLabelWidth, 120);
    EXPECT_EQ(world.observer.last.sizeLabelHeight, 30);
    EXPECT_EQ(world.observer.last.displayImage.width(), 904);
}

TEST_F(PhotoIntake, ALibraryPhotoIsBrowsedThenLoadedAndEdited) {
    world.PutInLibrary("trip/a.png", test::PhotoPicture(640, 480));
    world.root().getPhotoFromPhotoAlbums();
    world.Settle();
    EXPECT_EQ(world.root().pickerSource(), PickerSource::Library);
    ASSERT_EQ(world.root().libraryPhotos().size(), 1u);

    world.root().imagePickerControllerDidFinishPicking(
        PickedPhoto{test::PhotoPicture(640, 480), 1, "trip/a.png"});
    world.Settle();
    EXPECT_EQ(world.root().pickerSource(), PickerSource::None);
    EXPECT_EQ(world.root().phase(), kPhaseBrowse);
    EXPECT_EQ(world.root().browserPhotoReference(), "trip/a.png");

    world.root().browserEditPhoto();
    world.Settle();
    ASSERT_EQ(world.root().phase(), kPhaseEdit);
    EXPECT_EQ(world.root().prevPhase(), kPhaseBrowse);
    EXPECT_EQ(world.editor().imageUrl(), "trip/a.png");
    EXPECT_TRUE(test::SamePixels(world.editor().pendingImage(), test::PhotoPicture(640, 480)));
    EXPECT_EQ(world.observer.phases, (std::vector<std::pair<int, int>>{
                                         {kPhaseBrowse, kPhaseMain}, {kPhaseEdit, kPhaseBrowse}}));

    // Closing returns to the browser.
    world.editor().actionCloseEditor();
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseBrowse);
    EXPECT_EQ(world.root().prevPhase(), kPhaseEdit);
}

TEST_F(PhotoIntake, FailuresShowTheirAlerts) {
    world.root().setCameraAvailable(false);
    world.root().getPhotoFromCamera();
    world.root().setLibraryFolder(world.libraryPath + "/missing");
    world.root().getPhotoFromPhotoAlbums();
    EXPECT_EQ(world.root().pickerSource(), PickerSource::None);

    world.root().setLibraryFolder(world.libraryPath);
    world.root().openLibraryPhoto("gone.jpg");
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseBrowse);

    // The edit screen with no photo to load goes back where it came from.
    world.root().jumpToEditPhase();
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseBrowse);
    EXPECT_EQ(world.root().editViewController(), nullptr);

    for (const char* alert :
         {"alert(Can not access Camera |  | OK)", "alert(Can not access Photo Albums |  | OK)",
          "alert(Can not get this photo! |  | OK)", "alert(Load photo error! |  | OK)"}) {
        EXPECT_TRUE(world.ui.shows(alert)) << alert;
    }
}

TEST_F(PhotoIntake, TheSettingsScreenSwitchesTakeEffectAtOnceAndAreSavedInTheBackground) {
    world.root().jumpToSettingsPhase();
    SettingsViewController* screen = world.root().settingsViewController();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(SettingsViewController::rowKey(0, 2), "STR_LABEL_USESIZE_SWITCH");
    EXPECT_EQ(screen->switchValue(0, 2), false);
    EXPECT_TRUE(screen->setSwitch(0, 2, true));
    EXPECT_TRUE(world.settings.alwaysUseOriginalSize());  // at once, for the next photo
    EXPECT_TRUE(screen->setSwitch(1, 0, true));
    EXPECT_FALSE(screen->setSwitch(0, 4, true));  // log out has no switch
    bool forgotten = false;
    screen->setClearAllToken([&] { forgotten = true; });
    screen->selectRow(0, 4);
    EXPECT_TRUE(forgotten);
    EXPECT_EQ(world.ui.shown().back(), "displayCompleted([STR_LABEL_LOGOUT])");
    EXPECT_FALSE(std::filesystem::exists(world.documentsPath + "/setting.plist"));
    world.root().applicationDidEnterBackground();
    const std::unique_ptr<Settings> stored =
        Settings::loadFromFile(world.documentsPath + "/setting.plist");
    EXPECT_TRUE(stored->alwaysUseOriginalSize());
    EXPECT_TRUE(stored->activeAlphaChannel());
}

TEST_F(PhotoIntake, PhasesRememberWhereTheyCameFrom) {
    world.root().jumpToSettingsPhase();
    EXPECT_NE(world.root().settingsViewController(), nullptr);
    world.root().jumpToSettingsPhase();  // the same phase: nothing happens
    world.root().jumpToBrowsePhase();
    EXPECT_EQ(world.root().phase(), kPhaseBrowse);
    EXPECT_EQ(world.root().prevPhase(), kPhaseSettings);
    EXPECT_EQ(world.root().settingsViewController(), nullptr);
    world.root().jumpToMainPhase();
    // Low memory empties the picture cache's memory; its files stay.
    world.imageCache.saveImageCache(test::PhotoPicture(4, 4), "Look", 2);
    world.root().didReceiveMemoryWarning();
    EXPECT_TRUE(world.imageCache.loadImageMemCacheByName("Look").empty());
    EXPECT_FALSE(world.imageCache.loadImageCacheForName("Look", 1).empty());
    EXPECT_EQ(world.observer.phases,
              (std::vector<std::pair<int, int>>{{kPhaseSettings, kPhaseMain},
                                                {kPhaseBrowse, kPhaseSettings},
                                                {kPhaseMain, kPhaseBrowse}}));
}

}  // namespace
}  // namespace vantrel
