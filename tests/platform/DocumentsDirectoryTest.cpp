#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <optional>

#include "platform/DocumentsDirectory.h"
#include "support/ScopedEnvironment.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

struct Place {
    std::optional<std::string> vantrelHome;  // relative to the scratch folder
    std::optional<std::string> xdgDataHome;  // likewise; "rel" stays relative
    std::string expected;                    // relative to the scratch folder
};

class DocumentsDirectoryPlaces : public testing::TestWithParam<Place> {};

TEST_P(DocumentsDirectoryPlaces, FollowTheEnvironmentAndAreMadePrivate) {
    test::ScratchFolder scratch;
    test::ScopedEnvironment environment;
    const Place& place = GetParam();
    const auto inside = [&](const std::optional<std::string>& value) -> std::optional<std::string> {
        if (!value) return std::nullopt;
        if (value->empty() || value->front() != '/') return *value;
        return scratch.path() + *value;
    };
    environment.Set("HOME", scratch.path() + "/home");
    environment.Set("VANTREL_HOME", inside(place.vantrelHome));
    environment.Set("XDG_DATA_HOME", inside(place.xdgDataHome));

    const Result<std::string> folder = DocumentsDirectory();
    ASSERT_TRUE(folder.ok()) << folder.error();
    EXPECT_EQ(folder.value(), scratch.path() + place.expected);
    struct stat status {};
    ASSERT_EQ(::stat(folder.value().c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    // A second use finds it.
    EXPECT_EQ(DocumentsDirectory().value(), folder.value());
}

INSTANTIATE_TEST_SUITE_P(
    Places, DocumentsDirectoryPlaces,
    testing::Values(Place{"/own/place", "/data", "/own/place"},
                    Place{"", "/data", "/data/vantrel"},  // an empty variable counts as unset
                    Place{std::nullopt, "/data", "/data/vantrel"},
                    Place{std::nullopt, "rel", "/home/.local/share/vantrel"},
                    Place{std::nullopt, std::nullopt, "/home/.local/share/vantrel"}));

TEST(DocumentsDirectory, AFileInItsPlaceIsReported) {
    test::ScratchFolder scratch;
    test::ScopedEnvironment environment;
    const std::string taken = scratch.File("taken");
    std::ofstream(taken) << "x";
    environment.Set("VANTREL_HOME", taken);
    const Result<std::string> folder = DocumentsDirectory();
    EXPECT_FALSE(folder.ok());
    EXPECT_NE(folder.error().find(taken), std::string::npos) << folder.error();
}

}  // namespace
}  // namespace vantrel
