#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/Files.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::BytesOf;

std::string Xml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body +
           "\n</plist>\n";
}

TEST(PropertyList, ScalarsRoundTripThroughTheXmlForm) {
    PropertyList list;
    list.set("Version", std::int64_t{203});
    list.set("Negative", std::int64_t{-5});
    list.set("ShowTips", true);
    list.set("Off", false);
    list.set("Scale", 0.27696078431372551);
    list.set("Name", std::string("Vibrant Blue / Purple <&>"));
    list.set("Version", std::int64_t{204});  // replaces, keeps its place

    const Result<std::vector<unsigned char>> xml = WritePropertyList(list);
    ASSERT_TRUE(xml.ok()) << xml.error();
    const Result<PropertyList> read = ReadPropertyList(xml.value());
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.value().entries(), list.entries());  // in their order
    EXPECT_EQ(*read.value().find("Version"), PropertyValue(std::int64_t{204}));
}

// Other kinds read as such and can not be written; a text with a NUL byte
// ends there without ending the program.
TEST(PropertyList, OtherKindsAndTextsWithANulByte) {
    const std::string withNul = std::string("a") + '\0' + "b";
    const Result<PropertyList> read = ReadPropertyList(
        BytesOf(Xml("<dict><key>A</key><array><integer>1</integer></array>"
                    "<key>D</key><date>2020-01-01T00:00:00Z</date><key>I</key><integer>7</integer>"
                    "<key>N</key><string>" +
                    withNul + "</string></dict>")));
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(*read.value().find("A"), PropertyValue(PropertyOther{}));
    EXPECT_EQ(*read.value().find("D"), PropertyValue(PropertyOther{}));
    EXPECT_EQ(*read.value().find("I"), PropertyValue(std::int64_t{7}));
    EXPECT_EQ(*read.value().find("N"), PropertyValue(std::string("a")));
    EXPECT_EQ(read.value().find("missing"), nullptr);
    EXPECT_FALSE(WritePropertyList(read.value()).ok());
}

TEST(PropertyList, RefusesWhatIsNoDictionaryList) {
    const std::string cases[] = {
        "",
        "not a property list at all",
        Xml("<array><integer>1</integer></array>"),
        Xml("<dict><key>A</key><integer>1</integer>"),  // truncated
        "bplist00",                                     // a binary list's header alone
        "bplist00" + std::string(40, '\xff'),
        Xml(std::string(2000, '<') + "dict>"),
    };
    for (const std::string& text : cases)
        EXPECT_FALSE(ReadPropertyList(BytesOf(text)).ok()) << text.substr(0, 80);
}

// The store keeps texts and reals in a private file; an unreadable file,
// readable by others, is an empty store, replaced by a private one.
TEST(UserDefaults, KeepsTextsAndRealsInAPrivateFile) {
    test::ScratchFolder folder;
    const std::string file = folder.File(kUserDefaultsFileName);
    {
        UserDefaults store(file);
        store.setObject("kToken_Sina", "oauth_token=a&oauth_token_secret=b");
        store.setObject("FBExpirationDateKey", 1.5e9);
        store.setObject("gone", "x");
        store.removeObjectForKey("gone");
        ASSERT_TRUE(store.synchronize().ok());
    }
    EXPECT_EQ(test::PermissionsOf(file), 0600u);
    const UserDefaults again(file);
    EXPECT_EQ(again.stringForKey("kToken_Sina"), "oauth_token=a&oauth_token_secret=b");
    EXPECT_EQ(again.doubleForKey("FBExpirationDateKey"), 1.5e9);
    EXPECT_FALSE(again.hasKey("gone"));
    EXPECT_EQ(again.doubleForKey("kToken_Sina"), std::nullopt);

    ASSERT_TRUE(WriteFileAtomically(file, BytesOf("not a property list")).ok());
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    UserDefaults store(file);
    EXPECT_FALSE(store.hasKey("kToken_Sina"));
    store.setObject("kToken_Sina", "t");
    EXPECT_TRUE(store.synchronize().ok());
    EXPECT_TRUE(UserDefaults(file).hasKey("kToken_Sina"));
    EXPECT_EQ(test::PermissionsOf(file), 0600u);
}

}  // namespace
}  // namespace vantrel
