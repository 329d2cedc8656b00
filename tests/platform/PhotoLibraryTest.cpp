#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/NewFile.h"
#include "platform/PhotoLibrary.h"
#include "platform/PictureCodec.h"
#include "platform/UprightPhoto.h"
#include "support/ScopedEnvironment.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

// Writes a small photo at `relative` with its modification time `seconds`.
void PutPhoto(const test::ScratchFolder& library, const std::string& relative, long seconds) {
    const std::string path = library.File(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(WritePictureFile(test::PhotoPicture(4, 3), path).ok()) << path;
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::vector<std::string> References(const PhotoLibrary& library) {
    std::vector<std::string> references;
    const Result<std::vector<LibraryPhoto>> photos = library.listPhotos();
    for (const LibraryPhoto& photo : photos.value()) references.push_back(photo.reference);
    return references;
}

TEST(PhotoLibrary, ListsPhotosOneFolderDeepNewestFirst) {
    test::ScratchFolder folder;
    PutPhoto(folder, "old.jpg", 1000);
    PutPhoto(folder, "b.png", 3000);
    PutPhoto(folder, "a.PNG", 3000);  // same time: by reference
    PutPhoto(folder, "trip/new.jpeg", 5000);
    PutPhoto(folder, "trip/deeper/too-deep.jpg", 6000);
    PutPhoto(folder, ".hidden.jpg", 7000);
    PutPhoto(folder, ".hidden-folder/x.jpg", 7000);
    std::ofstream(folder.File("notes.txt")) << "not a photo";
    ASSERT_EQ(::symlink(folder.File("old.jpg").c_str(), folder.File("link.jpg").c_str()), 0);

    const PhotoLibrary library(folder.path());
    EXPECT_TRUE(library.isAvailable());
    EXPECT_EQ(References(library),
              (std::vector<std::string>{"trip/new.jpeg", "a.PNG", "b.png", "old.jpg"}));

    const PhotoLibrary missing(folder.File("nowhere"));
    EXPECT_FALSE(missing.isAvailable());
    EXPECT_FALSE(missing.listPhotos().ok());
}

// References name photos inside the library only; photos load upright, and
// links and strangers are refused.
TEST(PhotoLibrary, LoadsPhotosUprightAndRefusesLinksAndStrangers) {
    for (const char* good : {"a.jpg", "trip/b.PNG", "x y/é.jpeg"})
        EXPECT_TRUE(PhotoLibrary::IsValidReference(good)) << good;
    for (const char* bad : {"", "/etc/a.jpg", "../a.jpg", "trip/../../a.jpg", "a/b/c.jpg", ".a.jpg",
                            "trip/.a.jpg", "./a.jpg", "a.gif", "trip/", "a.jpg/"}) {
        EXPECT_FALSE(PhotoLibrary::IsValidReference(bad)) << bad;
    }
    EXPECT_FALSE(PhotoLibrary::IsValidReference(std::string("a\0b.jpg", 7)));
    test::ScratchFolder folder;
    // The Canon photo is stored turned (EXIF orientation 6).
    std::filesystem::copy_file(test::TestDataPath("photos/canon_hdr_NO.jpg"),
                               folder.File("canon.jpg"));
    ASSERT_EQ(::symlink(folder.File("canon.jpg").c_str(), folder.File("link.jpg").c_str()), 0);
    ASSERT_EQ(::symlink(folder.path().c_str(), folder.File("loop").c_str()), 0);
    const PhotoLibrary library(folder.path());

    const Result<Picture> loaded = library.loadPicture("canon.jpg");
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ(test::BytesOf(loaded.value()),
              test::BytesOf(ReadPictureFile(folder.File("canon.jpg")).value()));

    for (const char* refused : {"link.jpg", "loop/canon.jpg", "missing.jpg", "../canon.jpg"})
        EXPECT_FALSE(library.loadPicture(refused).ok()) << refused;
}

TEST(PhotoLibrary, AddedPicturesAreNewFilesThatNeverReplaceOne) {
    test::ScratchFolder folder;
    const PhotoLibrary library(folder.path());
    const Picture picture = test::PhotoPicture(20, 10);

    const Result<std::string> jpeg = library.addPicture(picture, false);
    const Result<std::string> second = library.addPicture(picture, false);
    const Result<std::string> png = library.addPicture(picture, true);
    ASSERT_TRUE(jpeg.ok() && second.ok() && png.ok()) << jpeg.error() << second.error();
    EXPECT_EQ(jpeg.value().rfind("Vantrel/Vantrel_", 0), 0u) << jpeg.value();
    EXPECT_NE(jpeg.value(), second.value());
    EXPECT_EQ(PictureFormatForPath(jpeg.value()), PictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatForPath(png.value()), PictureFormat::Png);
    // The PNG holds the picture exactly; the JPEG is the quality-92 encoding.
    EXPECT_EQ(test::BytesOf(library.loadPicture(png.value()).value()), test::BytesOf(picture));
    const std::vector<unsigned char> jpegBytes =
        EncodePicture(picture, PictureFormat::Jpeg, 92).value();
    EXPECT_EQ(ReadWholeFile(folder.File(jpeg.value()), 1 << 20).value(), jpegBytes);
    EXPECT_EQ(References(library).size(), 3u);
    // A failed add writes nothing.
    test::ScratchFolder other;
    std::ofstream(other.File("Vantrel")) << "a file where the folder should be";
    EXPECT_FALSE(PhotoLibrary(other.path()).addPicture(picture, false).ok());
    EXPECT_EQ(other.Names(), std::vector<std::string>{"Vantrel"});
    // A new file never replaces one, and leaves no temporary behind.
    test::ScratchFolder files;
    const std::vector<unsigned char> first{1, 2, 3}, later{9};
    EXPECT_TRUE(WriteNewFile(files.File("a.jpg"), first).written());
    EXPECT_EQ(WriteNewFile(files.File("a.jpg"), later).kind, NewFileOutcome::Kind::NameTaken);
    ASSERT_EQ(::symlink("nowhere", files.File("dangling.jpg").c_str()), 0);
    EXPECT_EQ(WriteNewFile(files.File("dangling.jpg"), later).kind,
              NewFileOutcome::Kind::NameTaken);
    EXPECT_EQ(WriteNewFile(files.File("no/folder.jpg"), later).kind, NewFileOutcome::Kind::Failed);
    EXPECT_EQ(files.Names(), (std::vector<std::string>{"a.jpg", "dangling.jpg"}));
    EXPECT_EQ(ReadWholeFile(files.File("a.jpg"), 10).value(), first);
}

// The pictures folder comes from the environment or the user dirs; the
// documents folder is refused where a file is in its place.
TEST(PhotoLibrary, TheFoldersComeFromTheEnvironmentOrTheUserDirs) {
    test::ScratchFolder home;
    test::ScopedEnvironment environment;
    environment.Set("HOME", home.path());
    environment.Set("XDG_CONFIG_HOME", std::nullopt);
    environment.Set("XDG_PICTURES_DIR", std::nullopt);
    EXPECT_EQ(PhotoLibrary::DefaultFolder(), home.File("Pictures"));

    std::filesystem::create_directory(home.File(".config"));
    std::ofstream(home.File(".config/user-dirs.dirs"))
        << "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(PhotoLibrary::DefaultFolder(), home.File("Bilder"));

    environment.Set("XDG_PICTURES_DIR", home.File("Elsewhere"));
    EXPECT_EQ(PhotoLibrary::DefaultFolder(), home.File("Elsewhere"));
    // A file in the documents folder's place is reported.
    std::ofstream(home.File("taken")) << "x";
    environment.Set("VANTREL_HOME", home.File("taken"));
    const Result<std::string> documents = DocumentsDirectory();
    EXPECT_FALSE(documents.ok());
    EXPECT_NE(documents.error().find(home.File("taken")), std::string::npos) << documents.error();
}

TEST(UprightPhoto, OverlongSidesAreFittedAndOrientationsApplied) {
    const Picture wide = test::PhotoPicture(300, 150);
    const Picture fitted = FitLongestSide(wide, 100);
    EXPECT_EQ(std::pair(fitted.width(), fitted.height()), std::pair(100, 50));
    EXPECT_EQ(FitLongestSide(wide, 300).data(), wide.data());  // untouched, not copied

    // Stored turned: upright it is 2 x 3.
    const Picture turned = RedrawUpright(test::PhotoPicture(3, 2), 6);
    EXPECT_EQ(std::pair(turned.width(), turned.height()), std::pair(2, 3));
}

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
    EXPECT_TRUE(std::filesystem::is_directory(folder.value()));
    EXPECT_EQ(test::PermissionsOf(folder.value()), 0700u);
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

}  // namespace
}  // namespace vantrel
