#include <gtest/gtest.h>

#include <filesystem>

#include "editing/ImageCacheManager.h"
#include "support/EditingWorld.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

TEST(ImageCacheManager, ModesKeepPicturesInMemoryOnDiskOrBoth) {
    test::ScratchFolder folder;
    ImageCacheManager cache(folder.path());
    const Picture picture = test::PhotoPicture(12, 9);

    // Memory only: gone after emptying, and never written.
    EXPECT_TRUE(cache.saveImageCache(picture, "Memory", 0));
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Memory", 0), picture));
    cache.removeAllImageCache();
    EXPECT_TRUE(cache.loadImageCacheForName("Memory", 2).empty());

    // Both: back from the file after emptying, but not put back in memory.
    EXPECT_TRUE(cache.saveImageCache(picture, "Both", 2));
    cache.removeAllImageCache();
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Both", 2), picture));
    EXPECT_TRUE(cache.loadImageCacheForName("Both", 0).empty());

    // Disk only; never saved; other modes.
    EXPECT_TRUE(cache.saveImageCache(picture, "Disk", 1));
    EXPECT_TRUE(cache.loadImageMemCacheByName("Disk").empty());
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Disk", 1), picture));
    EXPECT_TRUE(cache.loadImageCacheForName("Never", 1).empty());
    EXPECT_FALSE(cache.saveImageCache(picture, "Other", 3));
    EXPECT_TRUE(cache.loadImageCacheForName("Disk", -1).empty());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Both", "Disk"}));

    // An empty picture removes the memory entry.
    cache.saveImageCache(picture, "Gone", 0);
    cache.saveImageCache(Picture(), "Gone", 0);
    EXPECT_TRUE(cache.loadImageMemCacheByName("Gone").empty());
}

TEST(ImageCacheManager, NamesAreEscapedIntoTheFolderAndBack) {
    test::ScratchFolder folder;
    ImageCacheManager cache(folder.path());
    const Picture picture = test::PhotoPicture(4, 4);
    const std::pair<std::string, std::string> names[] = {
        {"Vibrant Blue / Purple", "Vibrant Blue %2F Purple"},
        {"../../etc/passwd", "%2E%2E%2F..%2Fetc%2Fpasswd"},
        {"..", "%2E%2E"},
        {"a\\b%c", "a%5Cb%25c"},
        {std::string("nul\0byte", 8), "nul%00byte"},
        {"Sepia", "Sepia"},
    };
    for (const auto& [name, file] : names) {
        EXPECT_EQ(ImageCacheManager::fileNameForName(name), file);
        EXPECT_EQ(ImageCacheManager::nameForFileName(file), name);
        EXPECT_TRUE(cache.saveImageCache(picture, name, 1)) << file;
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.File(file))) << file;
        EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName(name, 1), picture)) << file;
    }
    EXPECT_EQ(folder.Names().size(), std::size(names));
    EXPECT_FALSE(cache.saveImageCache(picture, "", 1));
    for (const char* notEscaped : {"a/b", "%2", "%zz", "%2e", ".x"}) {
        EXPECT_FALSE(ImageCacheManager::nameForFileName(notEscaped)) << notEscaped;
    }
}

}  // namespace
}  // namespace vantrel
