// A process killed at any moment leaves every file of the editing workflow
// whole, and an edit it was making resumes with its pictures; a resumed edit
// of a real photo saves what `vantrel apply` makes of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "commands/Json.h"
#include "editing/EditJournal.h"
#include "editing/HistoryPictureStore.h"
#include "editing/Settings.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"
#include "platform/PictureScaling.h"
#include "support/ChildProcess.h"
#include "support/EditingSteps.h"
#include "support/EditingWorld.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

constexpr char kReady[] = "ready";

// Writes version `which` (0 or 1) of every file of the editing workflow:
// the settings, the original, a history picture and the journal.
void WriteVersion(const std::string& folder, HistoryPictureStore& store, int which) {
    Settings settings(folder + "/" + kSettingsFileName);
    settings.setShowTips(which == 0);
    settings.setStartCount(which == 0 ? 10 : 20);
    settings.save();
    const Picture picture =
        which == 0 ? test::PhotoPicture(480, 360) : test::PhotoPicture(360, 480);
    store.writeOriginal(picture);
    store.writeHistoryPicture(picture, 1);
    EditJournal journal;
    journal.reference = which == 0 ? "a.jpg" : "b.png";
    journal.history = {which == 0 ? test::CurveStep() : test::BlurStep(3)};
    journal.commandIndex = 1;
    WriteFileAtomically(folder + "/" + kEditJournalFileName,
                        test::BytesOf(EditJournalText(journal)));
}

// A writer that alternates between the two versions until it is killed.
VANTREL_CHILD_SCENARIO(write_files) {
    const std::string& folder = args.at(0);
    HistoryPictureStore store(folder);
    for (long round = 0;; ++round) {
        WriteVersion(folder, store, static_cast<int>(round % 2));
        if (round == 0) test::WriteText(folder + "/" + kReady, "ready");
    }
}

// The files a version consists of, and their bytes as `folder` holds them.
std::vector<std::vector<unsigned char>> FilesIn(const std::string& folder) {
    std::vector<std::vector<unsigned char>> files;
    for (const char* name :
         {kSettingsFileName, "OriginalImageCache", "ImageCache_1.png", kEditJournalFileName}) {
        files.push_back(ReadWholeFile(folder + "/" + name, 1 << 24).value());
    }
    return files;
}

// The files of version `which` as it is written on its own.
std::vector<std::vector<unsigned char>> FilesOfVersion(int which) {
    test::ScratchFolder folder;
    {
        HistoryPictureStore store(folder.path());
        WriteVersion(folder.path(), store, which);
    }
    return FilesIn(folder.path());
}

TEST(Crash, FilesWrittenWhenTheProcessIsKilledAreOldOrNewNeverPartial) {
    const std::vector<std::vector<unsigned char>> versions[] = {FilesOfVersion(0),
                                                                FilesOfVersion(1)};
    for (int kill = 0; kill < 6; ++kill) {
        test::ScratchFolder folder;
        test::ChildProcess child("write_files", {folder.path()});
        ASSERT_TRUE(child.WaitForFile(folder.File(kReady), 60s));
        std::this_thread::sleep_for(test::RandomMoment(60ms));
        ASSERT_TRUE(child.Kill());
        const std::vector<std::vector<unsigned char>> found = FilesIn(folder.path());
        for (std::size_t file = 0; file < found.size(); ++file) {
            EXPECT_FALSE(found[file].empty()) << "kill " << kill << ", file " << file;
            EXPECT_TRUE(found[file] == versions[0][file] || found[file] == versions[1][file])
                << "kill " << kill << ", file " << file;
        }
    }
}

// An edit that applies, undoes and redoes steps until it is killed. Its
// steps keep the photo opaque, so that a picture read back from its PNG file
// is the very picture written (a blur may leave alpha 254 in places, which a
// PNG of straight alpha does not give back exactly).
VANTREL_CHILD_SCENARIO(edit_session) {
    test::EditingWorld world(args.at(0), args.at(1));
    world.OpenLibraryPhoto(args.at(2), std::stoi(args.at(3)));
    if (world.root().phase() != kPhaseEdit) return 2;
    const Array steps[] = {test::CurveStep(),       test::BlurStep(4),
                           test::PosterizeStep(6),  test::FlipStep(),
                           test::QuarterTurnStep(), test::BrightnessStep(10, 20)};
    for (long i = 0;; ++i) {
        world.Apply(steps[i % std::size(steps)]);
        if (i == 0) test::WriteText(args.at(0) + "/" + kReady, "ready");
        if (i % 3 == 2) world.editor().actionBackEffect();
        if (i % 5 == 4) world.editor().actionRedoEffect();
    }
}

// The pictures the history of `editor` stands for, made here from its
// original: position 0 the scaled original, each next one its step run on
// the one before. Checks that the history's picture files hold them.
std::vector<Picture> ExpectHistoryPictures(EditViewController& editor,
                                           EffectsProcesser& processor) {
    const Picture original = editor.getOriginalImage();
    const double scale = editor.scaleMark();
    std::vector<Picture> pictures{ScalePicture(original,
                                               static_cast<int>(original.width() * scale + 0.5),
                                               static_cast<int>(original.height() * scale + 0.5))};
    processor.setParamScale(scale);
    for (const Array& step : editor.history().commandsList()) {
        pictures.push_back(processor.runCommands(step, pictures.back()));
    }
    for (int id = 0; id < static_cast<int>(pictures.size()); ++id) {
        EXPECT_TRUE(test::SamePixels(editor.loadImageCacheByID(id), pictures[id])) << id;
    }
    return pictures;
}

TEST(Crash, AKilledEditResumesWithItsWholeHistory) {
    test::ScratchFolder library;
    const Picture photo = test::PhotoPicture(1600, 1200);
    ASSERT_TRUE(WritePictureFile(photo, library.File("photo.png")).ok());
    for (int kill = 0; kill < 3; ++kill) {
        SCOPED_TRACE(kill);
        test::ScratchFolder documents;
        {
            test::ChildProcess child("edit_session",
                                     {documents.path(), library.path(), "photo.png", "0"});
            ASSERT_TRUE(child.WaitForFile(documents.File(kReady), 120s));
            std::this_thread::sleep_for(test::RandomMoment(500ms));
            ASSERT_TRUE(child.Kill());
        }
        test::EditingWorld world(documents.path(), library.path());
        ASSERT_TRUE(world.root().hasUnfinishedEdit());
        ASSERT_TRUE(world.root().resumeUnfinishedEdit());
        world.Settle();
        ASSERT_EQ(world.root().phase(), kPhaseEdit);
        EditViewController& editor = world.editor();
        EXPECT_GE(editor.history().count(), 1);
        EXPECT_EQ(editor.imageUrl(), "photo.png");
        EXPECT_TRUE(test::SamePixels(editor.getOriginalImage(), photo));

        const std::vector<Picture> expected = ExpectHistoryPictures(editor, world.processor);
        const int index = editor.commandIndex();
        EXPECT_TRUE(test::SamePixels(editor.pendingImage(), expected[index]));
        // Undo and redo work on the resumed pictures.
        if (index > 0) {
            editor.actionBackEffect();
            EXPECT_TRUE(test::SamePixels(editor.pendingImage(), expected[index - 1]));
            editor.actionRedoEffect();
            EXPECT_TRUE(test::SamePixels(editor.pendingImage(), expected[index]));
        }
        // Closing ends it.
        editor.actionCloseEditor();
        if (world.ui.pendingQuestion()) world.ui.answer(1);
        world.Settle();
        EXPECT_FALSE(world.root().hasUnfinishedEdit());
    }
}

TEST(Crash, AResumedEditRemakesPicturesLeftByAnotherEdit) {
    test::ScratchFolder library;
    const Picture photo = test::PhotoPicture(1600, 1200);
    ASSERT_TRUE(WritePictureFile(photo, library.File("photo.png")).ok());
    test::ScratchFolder documents;
    {
        test::EditingWorld world(documents.path(), library.path());
        world.OpenLibraryPhoto("photo.png", 0);
        world.Apply(test::CurveStep());
        world.Apply(test::PosterizeStep(4));
        world.editor().actionBackEffect();
        world.Settle();
        // The program stops without closing the editor (the world goes).
    }
    // A picture of another edit in place of position 2, and no original.
    ASSERT_TRUE(
        WritePictureFile(test::PhotoPicture(20, 20), documents.File("ImageCache_2.png")).ok());
    std::filesystem::remove(documents.File("OriginalImageCache"));

    test::EditingWorld world(documents.path(), library.path());
    ASSERT_TRUE(world.root().resumeUnfinishedEdit());
    world.Settle();
    EditViewController& editor = world.editor();
    EXPECT_EQ(editor.commandIndex(), 1);
    EXPECT_EQ(editor.history().count(), 2);
    const std::vector<Picture> expected = ExpectHistoryPictures(editor, world.processor);
    editor.actionRedoEffect();
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), expected[2]));
}

constexpr char kPhoto[] = "canon.jpg";  // 2048 x 1536, stored turned (EXIF 6)
constexpr int kCommonSize = 1;          // the sheet: NOW, COMMON, FAST, CANCEL

// A real photo edited from the library at the common size, stopped without
// closing and resumed: the saved pixels are those of `vantrel apply` running
// the session's command list on the photo, after the intake's reduction.
TEST(Crash, AResumedEditOfARealPhotoSavesWhatVantrelApplyMakes) {
    test::ScratchFolder documents;
    test::ScratchFolder library;
    const std::string photo = library.File(kPhoto);
    std::filesystem::copy_file(test::TestDataPath("photos/canon_hdr_NO.jpg"), photo);
    {
        test::EditingWorld world(documents.path(), library.path());
        world.OpenLibraryPhoto(kPhoto, kCommonSize);
        ASSERT_EQ(world.root().phase(), kPhaseEdit);
        world.Apply(test::CurveStep(150));
        world.Apply(test::BlurStep(7));
        world.Apply(test::QuarterTurnStep());
        world.editor().actionBackEffect();
        world.editor().actionBackEffect();
        world.editor().actionRedoEffect();
        world.Apply(test::PosterizeStep(7));
    }

    test::EditingWorld world(documents.path(), library.path());
    ASSERT_TRUE(world.root().resumeUnfinishedEdit());
    world.Settle();
    EditViewController& editor = world.editor();
    ASSERT_EQ(editor.commandIndex(), 3);  // curve, blur, posterize
    EXPECT_LT(editor.originalScale(), 1.0);
    EXPECT_LT(editor.scaleMark(), 1.0);
    world.Apply(test::BrightnessStep(-15, 25));
    editor.actionBackEffect();
    editor.actionRedoEffect();
    world.Save();
    ASSERT_EQ(world.SavedFiles().size(), 1u);
    const Picture saved = ReadPictureFile(world.SavedFiles()[0]).value();
    EXPECT_EQ(saved.width(), editor.originalImageSize().width);

    // The same photo reduced as the intake did, then the session's commands.
    Dictionary file;
    file.set("commands", Value(editor.commands()));
    const std::string commands = documents.File("commands.json");
    test::WriteText(commands, jsonStringValue(file));
    const std::string zoom = jsonStringValue(
        ActionCommand_ZOOM::commandWithScale(static_cast<float>(editor.originalScale()))->dic());
    const std::string expected = documents.File("expected.jpg");
    ASSERT_EQ(test::RunProgram({test::ProgramPath(), "apply", photo, expected, "--command", zoom,
                                "--commands", commands, "--quality", "92"}),
              0);
    EXPECT_TRUE(test::SamePixels(saved, ReadPictureFile(expected).value()));
}

}  // namespace
}  // namespace vantrel
