// The edit session driven as a user would: steps, undo, redo, save, close,
// region selection, and what the screen and the alerts show meanwhile.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/PictureCodec.h"
#include "support/EditingSteps.h"
#include "support/EditingWorld.h"

namespace vantrel {
namespace {

using test::EditingWorld;

const Picture& Photo() {
    static const Picture photo = test::PhotoPicture(1600, 1200);
    return photo;
}

// `list` run on the full-size photo.
Picture FullSize(EffectsProcesser& processor, const Array& list) {
    processor.setParamScale(1.0);
    return processor.runCommands(list, Photo());
}

// What a picture looks like once saved as a JPEG of quality 92.
Picture AsSavedJpeg(const Picture& picture) {
    return DecodePicture(EncodePicture(picture, PictureFormat::Jpeg, 92).value()).value();
}

Picture Read(const std::string& path) {
    return ReadPictureFile(path).value();
}

class EditSession : public testing::Test {
protected:
    // Opens the 1600 x 1200 photo at its own size ("STR_NOW"): it is worked
    // on at 904 x 678.
    EditViewController& OpenPhoto() {
        world.OpenPicture(Photo(), 0);
        EXPECT_EQ(world.root().phase(), kPhaseEdit);
        return world.editor();
    }

    EditingWorld world;
};

TEST_F(EditSession, ThreeStepsUndoneTwiceSaveOnlyTheFirstAtFullSize) {
    EditViewController& editor = OpenPhoto();
    EXPECT_DOUBLE_EQ(editor.scaleMark(), 904.0 / 1600.0);
    EXPECT_EQ(editor.pendingImage().width(), 904);
    EXPECT_EQ(world.observer.last.sizeLabelText, "1600 x 1200");

    world.Apply(test::CurveStep());
    world.Apply(test::BlurStep(6));
    world.Apply(test::PosterizeStep(5));
    EXPECT_EQ(editor.commandIndex(), 3);
    editor.actionBackEffect();
    editor.actionBackEffect();
    EXPECT_EQ(editor.commandIndex(), 1);
    EXPECT_EQ(editor.redoCommandsCount(), 2);

    world.ui.clear();
    world.Save();
    EXPECT_EQ(world.ui.shown(),
              (std::vector<std::string>{"waitPanel([STR_SAVING] | mask)", "removeWaitPanel",
                                        "alert([STR_FINISH] |  | OK!)"}));
    const std::vector<std::string> saved = world.SavedFiles();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(PictureFormatForPath(saved[0]), PictureFormat::Jpeg);
    const Picture expected = AsSavedJpeg(FullSize(world.processor, test::CurveStep()));
    EXPECT_TRUE(test::SamePixels(Read(saved[0]), expected));
    EXPECT_FALSE(editor.photoEdited());
    EXPECT_FALSE(world.observer.last.saveEnabled);

    // A second save writes a second file; the first stays.
    world.Apply(test::FlipStep());
    world.Save();
    EXPECT_EQ(world.SavedFiles().size(), 2u);
}

TEST_F(EditSession, UndoAndRedoExchangeTheHistoryPicturesAndTheButtons) {
    EditViewController& editor = OpenPhoto();
    const Picture opened = editor.pendingImage();
    world.Apply(test::CurveStep());
    const Picture afterCurve = editor.pendingImage();
    EXPECT_FALSE(test::SamePixels(afterCurve, opened));
    EXPECT_TRUE(world.observer.last.undoEnabled);

    // Undo to position 0 disables Undo and Save; Redo brings both back.
    editor.actionBackEffect();
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), opened));
    EXPECT_FALSE(world.observer.last.undoEnabled);
    EXPECT_FALSE(world.observer.last.saveEnabled);
    EXPECT_TRUE(world.observer.last.redoEnabled);
    editor.actionBackEffect();  // nothing to undo: nothing happens
    EXPECT_EQ(editor.commandIndex(), 0);
    editor.actionRedoEffect();
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), afterCurve));
    EXPECT_TRUE(world.observer.last.undoEnabled);
    EXPECT_TRUE(world.observer.last.saveEnabled);
    EXPECT_FALSE(world.observer.last.redoEnabled);

    // A new step after an undo drops the redo tail.
    world.Apply(test::PosterizeStep(3));
    editor.actionBackEffect();
    EXPECT_TRUE(world.observer.last.redoEnabled);
    world.Apply(test::BlurStep(2));
    EXPECT_FALSE(world.observer.last.redoEnabled);
    EXPECT_EQ(editor.history().count(), 2);
    EXPECT_EQ(world.observer.last.historyCount, 2);
    // The shown picture is the working image (both are under 614400 pixels).
    EXPECT_TRUE(test::SamePixels(world.observer.last.displayImage, editor.pendingImage()));
}

TEST_F(EditSession, WorkingAtFullSizeSavesTheWorkingImage) {
    world.settings.setRealTime(true);
    EditViewController& editor = OpenPhoto();
    EXPECT_EQ(editor.scaleMark(), 1.0);
    EXPECT_EQ(editor.pendingImage().width(), 1600);
    // The screen still shows no more than about 614400 pixels.
    EXPECT_EQ(world.observer.last.displayImage.width(), 904);
    world.Apply(test::BlurStep(3));
    world.Save();
    const std::vector<std::string> saved = world.SavedFiles();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(test::SamePixels(Read(saved[0]), AsSavedJpeg(editor.pendingImage())));
}

TEST_F(EditSession, KeptTransparencySavesAPngThroughAPngRoundTrip) {
    world.settings.setActiveAlphaChannel(true);
    OpenPhoto();
    world.Apply(test::BlurStep(2));
    world.Save();
    const std::vector<std::string> saved = world.SavedFiles();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(PictureFormatForPath(saved[0]), PictureFormat::Png);
    EXPECT_TRUE(test::SamePixels(Read(saved[0]), FullSize(world.processor, test::BlurStep(2))));
}

TEST_F(EditSession, ClosingAsksToSaveOnlyWhenStepsAreUnsaved) {
    OpenPhoto();
    // Right after opening (Save enabled, no step): no question.
    world.editor().actionCloseEditor();
    world.Settle();
    EXPECT_FALSE(world.ui.pendingQuestion());
    EXPECT_EQ(world.root().phase(), kPhaseMain);
    EXPECT_FALSE(std::filesystem::exists(world.documentsPath + "/EditJournal.json"));

    OpenPhoto();
    world.Apply(test::CurveStep());
    const std::string question =
        "sheet([STR_TITLE_SAVEPHOTO] | Yes | No | [STR_CANCEL] | destructive 0 | cancel 2)";
    world.editor().actionCloseEditor();
    EXPECT_EQ(world.ui.pendingQuestion(), question);
    world.ui.answer(2);  // cancel: nothing
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseEdit);

    world.editor().actionCloseEditor();
    world.ui.answer(1);  // no: closes without saving
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseMain);
    EXPECT_TRUE(world.SavedFiles().empty());

    OpenPhoto();
    world.Apply(test::CurveStep());
    world.editor().actionCloseEditor();
    world.ui.answer(0);  // yes: saves, then closes
    world.Settle();
    EXPECT_EQ(world.root().phase(), kPhaseMain);
    EXPECT_EQ(world.SavedFiles().size(), 1u);
}

TEST_F(EditSession, TheSelectionIsKeptInOriginalPixelsAndResetByGeometry) {
    EditViewController& editor = OpenPhoto();
    const double scale = editor.scaleMark();
    editor.popRectSelectionView();
    EXPECT_TRUE(world.observer.last.rectSelectorShown);
    editor.rectSelectionYES(Rect{113, 56.5f, 226, 113});
    EXPECT_FALSE(world.observer.last.rectSelectorShown);
    const Rect selected = world.processor.selectedRect();
    EXPECT_FLOAT_EQ(selected.x, static_cast<float>(113 / scale));
    EXPECT_FLOAT_EQ(selected.width, static_cast<float>(226 / scale));
    editor.popRectSelectionView();
    EXPECT_FLOAT_EQ(world.observer.last.rectSelectorRect.width,
                    static_cast<float>(selected.width * scale));
    editor.rectSelectionCancel();
    EXPECT_FLOAT_EQ(world.processor.selectedRect().width, selected.width);

    world.Apply(test::CurveStep());  // a colour step keeps the region
    EXPECT_FLOAT_EQ(world.processor.selectedRect().width, selected.width);
    world.Apply(test::QuarterTurnStep());  // a turn changes the size: reset
    EXPECT_EQ(editor.pendingImage().width(), 678);
    EXPECT_EQ(world.processor.selectedRect().width, 0);
    EXPECT_EQ(world.observer.last.sizeLabelText, "1200 x 1600");

    editor.popRectSelectionView();
    editor.rectSelectionYES(Rect{1, 1, 10, 10});
    editor.actionBackEffect();  // undo resets it too
    EXPECT_EQ(world.processor.selectedRect().width, 0);
}

TEST_F(EditSession, APreviewOfTheWorkingSizeIsTakenAsTheResult) {
    EditViewController& editor = OpenPhoto();
    const Picture review = test::PhotoPicture(904, 678);
    world.Apply(test::PanelScript{test::PosterizeStep(2), review, true, true});
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), review));
    EXPECT_EQ(editor.history().commandsList().back(), test::PosterizeStep(2));

    // A preview of another size, or one the panel does not allow, is not.
    const Picture before = editor.pendingImage();
    world.Apply(test::PanelScript{test::FlipStep(), test::PhotoPicture(10, 10), true, true});
    world.Apply(test::PanelScript{test::FlipStep(), test::PhotoPicture(904, 678), false, true});
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), before));  // flipped twice

    // A panel without an effect applies nothing on Done.
    world.Apply(test::PanelScript{test::FlipStep(), {}, true, false});
    EXPECT_EQ(editor.commandIndex(), 3);
    EXPECT_EQ(editor.panelHost(), nullptr);
}

TEST_F(EditSession, ATitleTipIsShownOnceWhenAPanelIsOpenedAgain) {
    EditViewController& editor = OpenPhoto();
    world.SetPanel("STR_MENU_CURVE", test::PanelScript{test::CurveStep(), {}, true, true});
    world.SetPanel("STR_MENU_HSL", test::PanelScript{test::CurveStep(), {}, true, true});
    world.ui.clear();
    for (const std::string title :
         {"STR_MENU_CURVE", "STR_MENU_HSL", "STR_MENU_HSL", "STR_MENU_HSL", "STR_MENU_CURVE"}) {
        editor.actionEffectProcess(title);
        world.Settle();
        EXPECT_EQ(world.observer.last.openPanelTitle, title);
        editor.effectProcessBack();
        EXPECT_EQ(world.observer.last.openPanelTitle, "");
    }
    int tips = 0;
    for (const std::string& call : world.ui.shown()) tips += call == "titleTip(STR_MENU_HSL)";
    EXPECT_EQ(tips, 1);
    EXPECT_EQ(editor.tipsShowTimes(), 0);
    EXPECT_EQ(editor.commandIndex(), 0);
    EXPECT_EQ(world.panelRequests.back().scaleMark, editor.scaleMark());
}

TEST_F(EditSession, FailuresShowTheirAlertsAndKeepTheEdit) {
    EditViewController& editor = OpenPhoto();
    world.Apply(test::CurveStep());

    // A panel that can't be set up.
    world.SetPanel("STR_MENU_BOKEH", std::nullopt);
    editor.actionEffectProcess("STR_MENU_BOKEH");
    world.Settle();
    EXPECT_EQ(editor.panelHost(), nullptr);
    EXPECT_TRUE(world.ui.shows("alert(Can not create context! | Error | OK!)"));

    // A list that fails: the history is unchanged, the panel closed.
    world.Apply(test::FailingStep());
    EXPECT_EQ(editor.commandIndex(), 1);
    EXPECT_EQ(editor.panelHost(), nullptr);
    EXPECT_TRUE(world.ui.shows("alert(Not find Action! | Error | OK!)"));

    // A history picture that is gone: undo says so and changes nothing.
    std::filesystem::remove(world.documentsPath + "/ImageCache_0.png");
    editor.actionBackEffect();
    EXPECT_EQ(editor.commandIndex(), 1);
    EXPECT_TRUE(world.ui.shows("alert(Can not load image cache! | Error | OK!)"));

    // A history picture that can't be written: the step stays.
    std::filesystem::create_directories(world.documentsPath + "/ImageCache_2.png/blocked");
    world.Apply(test::BlurStep(2));
    EXPECT_EQ(editor.commandIndex(), 2);
    EXPECT_TRUE(world.ui.shows("alert(Can not save photo! |  | OK)"));
}

TEST_F(EditSession, WhileTheWaitPanelIsUpTheUsersOperationsWait) {
    EditViewController& editor = OpenPhoto();
    world.Apply(test::CurveStep());
    // The save's result comes back on the main queue, which this test runs.
    editor.actionSaveImage();
    EXPECT_TRUE(editor.isBusy());
    editor.actionBackEffect();
    editor.actionCloseEditor();
    world.root().jumpToMainPhase();
    EXPECT_EQ(world.root().phase(), kPhaseEdit);
    EXPECT_EQ(editor.commandIndex(), 1);
    EXPECT_FALSE(world.ui.pendingQuestion());
    world.Settle();
    EXPECT_FALSE(editor.isBusy());
    EXPECT_EQ(world.SavedFiles().size(), 1u);
    world.root().jumpToMainPhase();
    EXPECT_EQ(world.root().phase(), kPhaseMain);
}

TEST_F(EditSession, ASaveThatCanNotBeWrittenLosesNothing) {
    OpenPhoto();
    world.Apply(test::CurveStep());
    std::filesystem::create_directories(world.libraryPath);
    test::WriteText(world.libraryPath + "/Vantrel", "a file where the folder goes");
    world.ui.clear();
    world.editor().actionCloseEditor();
    world.ui.answer(0);  // yes: save, then close
    world.Settle();
    EXPECT_TRUE(world.ui.shows("alert(Can not save photo! |  | OK)"));
    EXPECT_EQ(world.root().phase(), kPhaseEdit);
    EXPECT_TRUE(world.editor().photoEdited());
    EXPECT_FALSE(world.editor().exitAfterSave());
    EXPECT_EQ(world.editor().commandIndex(), 1);

    std::filesystem::remove(world.libraryPath + "/Vantrel");
    world.Save();
    EXPECT_EQ(world.SavedFiles().size(), 1u);
}

TEST_F(EditSession, AMissingOriginalIsTakenFromTheLibraryOrReported) {
    // A picture from elsewhere has only its file.
    OpenPhoto();
    world.Apply(test::CurveStep());
    std::filesystem::remove(world.documentsPath + "/OriginalImageCache");
    world.Save();
    EXPECT_TRUE(world.ui.shows("alert(Can not load original image! | Error | OK!)"));
    EXPECT_TRUE(world.editor().photoEdited());
    EXPECT_TRUE(world.SavedFiles().empty());

    EditingWorld library;
    library.PutInLibrary("photo.png", Photo());
    library.OpenLibraryPhoto("photo.png", 0);
    ASSERT_EQ(library.root().phase(), kPhaseEdit);
    library.Apply(test::CurveStep());
    std::filesystem::remove(library.documentsPath + "/OriginalImageCache");
    library.Save();
    ASSERT_EQ(library.SavedFiles().size(), 1u);
    EXPECT_TRUE(test::SamePixels(Read(library.SavedFiles()[0]),
                                 AsSavedJpeg(FullSize(library.processor, test::CurveStep()))));
}

}  // namespace
}  // namespace vantrel
