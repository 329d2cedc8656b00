// The edit history's steps and the journal that keeps them across a crash.
#include <gtest/gtest.h>

#include "editing/EditHistory.h"
#include "editing/EditJournal.h"
#include "support/EditingSteps.h"

namespace vantrel {
namespace {

using test::PosterizeStep;

// What a history holds after steps, undos and a new step the edit session's
// flows pin (EditSession.UndoAndRedoExchangeTheHistoryPicturesAndTheButtons,
// and the saves of the steps kept); the edit screen never asks for a step
// out of range, so the history's own refusals are seen only here.
TEST(EditHistory, RefusesStepsAndRestoresOutOfRange) {
    EditHistory history;
    EXPECT_FALSE(history.stepBack());
    history.addCommands(PosterizeStep(2));
    EXPECT_FALSE(history.stepForward());
    EXPECT_FALSE(history.restore({PosterizeStep(5)}, 2));
    EXPECT_FALSE(history.restore({PosterizeStep(5)}, -1));
    EXPECT_EQ(history.commandIndex(), 1);
    EXPECT_TRUE(history.restore({PosterizeStep(5), PosterizeStep(6)}, 2));
    EXPECT_EQ(history.commands().size(), 4u);  // each step's selection stays with it
}

EditJournal SampleJournal() {
    EditJournal journal;
    journal.reference = "trip/é \"quoted\".jpg";
    journal.originalScale = 904.0 / 3264.0;
    journal.scaleMark = 0.30234;
    journal.history = {
        test::ListOf(test::Selection(1.5f, 2, 30, 40),
                     ActionCommand_GASBLUR::commandWithRadiusH(3, 4)),
        test::ListOf(ActionCommand_ROTATE::commandWithDegrees(90)),
    };
    journal.commandIndex = 1;
    journal.photoEdited = false;
    journal.fingerprints = {{"OriginalImageCache", 0xfedcba9876543210ull}, {"ImageCache_0.png", 1}};
    return journal;
}

TEST(EditJournal, RoundTripsExactly) {
    const EditJournal journal = SampleJournal();
    const std::optional<EditJournal> read = ParseEditJournal(EditJournalText(journal));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->reference, journal.reference);
    EXPECT_EQ(read->originalScale, journal.originalScale);
    EXPECT_EQ(read->scaleMark, journal.scaleMark);
    EXPECT_EQ(read->history, journal.history);
    EXPECT_EQ(read->commandIndex, 1);
    EXPECT_FALSE(read->photoEdited);
    EXPECT_EQ(read->fingerprints, journal.fingerprints);
}

TEST(EditJournal, AnythingMalformedOrOutOfRangeIsNoJournal) {
    const std::string good = EditJournalText(SampleJournal());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string cases[] = {
        "",
        "[]",
        good.substr(0, good.size() / 2),
        replaced("\"version\" : 1", "\"version\" : 2"),
        replaced("\"commandIndex\" : 1", "\"commandIndex\" : 3"),
        replaced("\"commandIndex\" : 1", "\"commandIndex\" : -1"),
        replaced("\"commandIndex\" : 1", "\"commandIndex\" : 0.5"),
        replaced("\"scaleMark\" : 0.30234", "\"scaleMark\" : 0"),
        replaced("\"scaleMark\" : 0.30234", "\"scaleMark\" : 1.5"),
        replaced("\"originalScale\" : ", "\"originalScale\" : \"x\", \"o\" : "),
        replaced("trip/", "../"),
        replaced("\"photoEdited\" : false", "\"photoEdited\" : 0"),
        replaced("fedcba9876543210", "not hex"),
        replaced("\"history\" : [", "\"history\" : [7, "),
    };
    for (const std::string& text : cases) {
        EXPECT_FALSE(ParseEditJournal(text)) << text.substr(0, 200);
    }
}

}  // namespace
}  // namespace vantrel
