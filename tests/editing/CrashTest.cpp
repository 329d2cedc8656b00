// A process killed at any moment leaves every file of the editing workflow
// whole, and an edit it was making resumes with its pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

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

void MarkReady(const std::string& folder) {
    std::ofstream(folder + "/" + kReady) << "ready";
}

// The two versions the writer alternates between.
struct Version {
    bool showTips;
    int startCount;
    Picture picture;
    EditJournal journal;
};

Version VersionOf(int which) {
    Version version{which == 0, which == 0 ? 10 : 20,
                    which == 0 ? test::PhotoPicture(480, 360) : test::PhotoPicture(360, 480),
                    EditJournal{}};
    version.journal.reference = which == 0 ? "a.jpg" : "b.png";
    version.journal.history = {which == 0 ? test::CurveStep() : test::BlurStep(3)};
    version.journal.commandIndex = 1;
    return version;
}

void WriteVersion(const std::string& folder, HistoryPictureStore& store, const Version& version) {
    Settings settings(folder + "/" + kSettingsFileName);
    settings.setShowTips(version.showTips);
    settings.setStartCount(version.startCount);
    settings.save();
    store.writeOriginal(version.picture);
    store.writeHistoryPicture(version.picture, 1);
    const std::string journal = EditJournalText(version.journal);
    WriteFileAtomically(folder + "/" + kEditJournalFileName,
                        std::vector<unsigned char>(journal.begin(), journal.end()));
}

VANTREL_CHILD_SCENARIO(write_files) {
    const std::string& folder = args.at(0);
    HistoryPictureStore store(folder);
    const Version versions[] = {VersionOf(0), VersionOf(1)};
    for (long round = 0;; ++round) {
        WriteVersion(folder, store, versions[round % 2]);
        if (round == 0) MarkReady(folder);
    }
}

// Which version `folder`'s files hold, each on its own: 0, 1, or -1 for
// neither (a damaged file).
std::vector<int> VersionsFound(const std::string& folder) {
    const Version versions[] = {VersionOf(0), VersionOf(1)};
    const auto which = [&](const std::function<bool(const Version&)>& holds) {
        for (int v = 0; v < 2; ++v) {
            if (holds(versions[v])) return v;
        }
        return -1;
    };
    const std::unique_ptr<Settings> settings =
        Settings::loadFromFile(folder + "/" + kSettingsFileName);
    std::vector<int> found = {which([&](const Version& v) {
        return settings->isSettingSaved() && settings->showTips() == v.showTips &&
               settings->startCount() == v.startCount + 1;
    })};
    for (const char* name : {"OriginalImageCache", "ImageCache_1.png"}) {
        const Result<Picture> picture = ReadPictureFile(folder + "/" + name);
        found.push_back(which([&](const Version& v) {
            return picture && test::SamePixels(picture.value(), v.picture);
        }));
    }
    const Result<std::vector<unsigned char>> bytes =
        ReadWholeFile(folder + "/" + kEditJournalFileName, kMaxEditJournalBytes);
    const std::optional<EditJournal> journal =
        bytes ? ParseEditJournal(std::string(bytes.value().begin(), bytes.value().end()))
              : std::nullopt;
    found.push_back(which([&](const Version& v) {
        return journal && journal->reference == v.journal.reference &&
               journal->history == v.journal.history;
    }));
    return found;
}

TEST(Crash, FilesWrittenWhenTheProcessIsKilledAreOldOrNewNeverPartial) {
    for (int kill = 0; kill < 6; ++kill) {
        test::ScratchFolder folder;
        test::ChildProcess child("write_files", {folder.path()});
        ASSERT_TRUE(child.WaitForFile(folder.File(kReady), 60s));
        std::this_thread::sleep_for(test::RandomMoment(60ms));
        ASSERT_TRUE(child.Kill());
        for (int found : VersionsFound(folder.path())) {
            EXPECT_TRUE(found == 0 || found == 1) << "kill " << kill;
        }
    }
}

// An edit that applies, undoes and redoes steps until it is killed. Its
// steps keep the photo opaque, so that a picture read back from its PNG file
// is the very picture written (a blur may leave alpha 254 in places, which a
// PNG of straight alpha does not give back exactly).
VANTREL_CHILD_SCENARIO(edit_session) {
    test::EditingWorld world(args.at(0), args.at(1));
    world.root().openLibraryPhoto(args.at(2));
    world.Settle();
    if (world.ui.pendingQuestion()) world.ui.answer(std::stoi(args.at(3)));
    world.Settle();
    if (world.root().phase() != kPhaseEdit) return 2;
    const Array steps[] = {test::CurveStep(),       test::BlurStep(4),
                           test::PosterizeStep(6),  test::FlipStep(),
                           test::QuarterTurnStep(), test::BrightnessStep(10, 20)};
    for (long i = 0;; ++i) {
        world.Apply(steps[i % std::size(steps)]);
        if (i == 0) MarkReady(args.at(0));
        if (i % 3 == 2) world.editor().actionBackEffect();
        if (i % 5 == 4) world.editor().actionRedoEffect();
    }
}

// The pictures the history of `editor` stands for, made here from its
// original: position 0 the scaled original, each next one its step run on
// the one before.
std::vector<Picture> ExpectedPictures(EditViewController& editor, EffectsProcesser& processor) {
    const Picture original = editor.getOriginalImage();
    const double scale = editor.scaleMark();
    std::vector<Picture> pictures{ScalePicture(original,
                                               static_cast<int>(original.width() * scale + 0.5),
                                               static_cast<int>(original.height() * scale + 0.5))};
    processor.setParamScale(scale);
    for (const Array& step : editor.history().commandsList()) {
        pictures.push_back(processor.runCommands(step, pictures.back()));
    }
    return pictures;
}

TEST(Crash, AKilledEditResumesWithItsWholeHistory) {
    test::ScratchFolder library;
    const Picture photo = test::PhotoPicture(1600, 1200);
    ASSERT_TRUE(WritePictureFile(photo, library.File("photo.png")).ok());
    for (int kill = 0; kill < 3; ++kill) {
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

        const std::vector<Picture> expected = ExpectedPictures(editor, world.processor);
        for (int id = 0; id < static_cast<int>(expected.size()); ++id) {
            EXPECT_TRUE(test::SamePixels(editor.loadImageCacheByID(id), expected[id]))
                << "kill " << kill << ", position " << id;
        }
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
        world.root().openLibraryPhoto("photo.png");
        world.Settle();
        world.ui.answer(0);
        world.Settle();
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
    const std::vector<Picture> expected = ExpectedPictures(editor, world.processor);
    for (int id = 0; id < 3; ++id) {
        EXPECT_TRUE(test::SamePixels(editor.loadImageCacheByID(id), expected[id])) << id;
    }
    editor.actionRedoEffect();
    EXPECT_TRUE(test::SamePixels(editor.pendingImage(), expected[2]));
}

}  // namespace
}  // namespace vantrel
