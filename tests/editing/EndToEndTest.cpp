// A real photo edited from the library to a saved photo, through a crash:
// the saved pixels are those of `vantrel apply` running the session's
// command list on the photo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "commands/Json.h"
#include "platform/PictureCodec.h"
#include "support/ChildProcess.h"
#include "support/EditingSteps.h"
#include "support/EditingWorld.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

constexpr char kPhoto[] = "canon.jpg";  // 2048 x 1536, stored mirrored (EXIF 2)
constexpr int kCommonSize = 1;          // the sheet: NOW, COMMON, FAST, CANCEL

// Opens the photo at the common size, applies, undoes and redoes, then
// waits to be killed.
VANTREL_CHILD_SCENARIO(edit_until_killed) {
    test::EditingWorld world(args.at(0), args.at(1));
    world.root().openLibraryPhoto(kPhoto);
    world.Settle();
    if (!world.ui.pendingQuestion()) return 2;
    world.ui.answer(kCommonSize);
    world.Settle();
    if (world.root().phase() != kPhaseEdit) return 3;
    world.Apply(test::CurveStep(150));
    world.Apply(test::BlurStep(7));
    world.Apply(test::QuarterTurnStep());
    world.editor().actionBackEffect();
    world.editor().actionBackEffect();
    world.editor().actionRedoEffect();
    world.Apply(test::PosterizeStep(7));
    world.Settle();
    std::ofstream(args.at(0) + "/ready") << "ready";
    for (;;) std::this_thread::sleep_for(1s);
}

TEST(EndToEnd, AKilledAndResumedEditSavesWhatVantrelApplyMakes) {
    test::ScratchFolder documents;
    test::ScratchFolder library;
    std::filesystem::copy_file(test::TestDataPath("photos/canon_hdr_NO.jpg"), library.File(kPhoto));
    {
        test::ChildProcess child("edit_until_killed", {documents.path(), library.path()});
        ASSERT_TRUE(child.WaitForFile(documents.File("ready"), 300s));
        ASSERT_TRUE(child.Kill());
    }

    test::EditingWorld world(documents.path(), library.path());
    ASSERT_TRUE(world.root().resumeUnfinishedEdit());
    world.Settle();
    ASSERT_EQ(world.root().phase(), kPhaseEdit);
    EditViewController& editor = world.editor();
    ASSERT_EQ(editor.commandIndex(), 3);  // curve, blur, posterize
    EXPECT_LT(editor.originalScale(), 1.0);
    EXPECT_LT(editor.scaleMark(), 1.0);
    world.Apply(test::BrightnessStep(-15, 25));
    editor.actionBackEffect();
    editor.actionRedoEffect();
    editor.actionSaveImage();
    world.Settle();

    std::vector<std::string> saved;
    for (const auto& entry : std::filesystem::directory_iterator(library.File("Vantrel"))) {
        saved.push_back(entry.path().string());
    }
    ASSERT_EQ(saved.size(), 1u);
    const Result<Picture> savedPicture = ReadPictureFile(saved[0]);
    ASSERT_TRUE(savedPicture.ok()) << savedPicture.error();

    // The same photo reduced as the intake did, then the session's commands.
    Dictionary file;
    file.set("commands", Value(editor.commands()));
    const std::string commands = documents.File("commands.json");
    std::ofstream(commands) << jsonStringValue(file);
    const std::string zoom = jsonStringValue(
        ActionCommand_ZOOM::commandWithScale(static_cast<float>(editor.originalScale()))->dic());
    const std::string expected = documents.File("expected.jpg");
    ASSERT_EQ(test::RunProgram({test::ProgramPath(), "apply", library.File(kPhoto), expected,
                                "--command", zoom, "--commands", commands, "--quality", "92"}),
              0);
    const Result<Picture> expectedPicture = ReadPictureFile(expected);
    ASSERT_TRUE(expectedPicture.ok()) << expectedPicture.error();
    EXPECT_EQ(savedPicture.value().width(), editor.originalImageSize().width);
    EXPECT_TRUE(test::SamePixels(savedPicture.value(), expectedPicture.value()));
}

}  // namespace
}  // namespace vantrel
