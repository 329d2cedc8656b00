#include <gtest/gtest.h>

#include <string>

#include "commands/Json.h"

namespace vantrel {
namespace {

Decimal Number(std::string_view text) {
    return Decimal::fromText(text).value();
}

const Value& At(const Dictionary& d, std::string_view key) {
    static const Value kMissing(std::string("<missing>"));
    const Value* value = d.find(key);
    return value ? *value : kMissing;
}

TEST(JsonWriter, WritesEntriesOnIndentedLinesWithNoBreakBeforeTheBrace) {
    EXPECT_EQ(jsonStringValue(Dictionary{{"cmd", "CMD_ZOOM"}, {"scale", "0.500000"}}),
              "{\n \"cmd\" : \"CMD_ZOOM\",\n \"scale\" : \"0.500000\"}");
    EXPECT_EQ(jsonStringValue(Dictionary{}), "{}");
    // Nested dictionaries go one level deeper, also inside arrays; arrays
    // themselves stay on the line.
    Dictionary nested{{"a", Dictionary{{"b", "c"}}},
                      {"list", Array{Value("1"), Value(Dictionary{{"k", "v"}}), Value(Array{})}}};
    EXPECT_EQ(jsonStringValue(nested),
              "{\n \"a\" : {\n\t \"b\" : \"c\"},\n \"list\" : [\"1\", {\n\t \"k\" : \"v\"}, []]}");
    EXPECT_EQ(jsonStringValueWithIndentLevel(Dictionary{{"a", "1"}, {"b", "2"}}, -1),
              "{ \"a\" : \"1\", \"b\" : \"2\"}");
    EXPECT_EQ(jsonStringValueWithIndentLevel(Dictionary{{"a", "1"}}, 2), "{\n\t\t \"a\" : \"1\"}");
}

TEST(JsonWriter, WritesNullBooleansAndExactNumbers) {
    Dictionary d{
        {"n", Value()}, {"t", true}, {"f", false}, {"x", Number("1.25e-4")}, {"y", Number("-3E2")}};
    EXPECT_EQ(jsonStringValueWithIndentLevel(d, -1),
              "{ \"n\" : null, \"t\" : true, \"f\" : false, \"x\" : 0.000125, \"y\" : -300}");
}

TEST(JsonWriter, EscapesOnlyQuotesBackslashesAndFiveControls) {
    EXPECT_EQ(jsonStringForString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonStringForString("\b\t\n\f\r"), "\"\\b\\t\\n\\f\\r\"");
    // Slash, other control characters and non-ASCII text are copied.
    EXPECT_EQ(jsonStringForString(std::string("/\x01\x1f\x7f\xC3\xA9", 6)),
              std::string("\"/\x01\x1f\x7f\xC3\xA9\"", 8));
    EXPECT_EQ(jsonStringForString(std::string("a\0b", 3)), std::string("\"a\0b\"", 5));
}

TEST(JsonReader, SkipsTextBeforeTheFirstBraceAndIgnoresTrailingText) {
    auto d = dictionaryWithJSONString("var actions = {\"a\" : \"1\"}; trailing {");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (Dictionary{{"a", "1"}}));
    EXPECT_FALSE(dictionaryWithJSONString("no object here"));
    EXPECT_FALSE(dictionaryWithJSONString(""));
    EXPECT_EQ(dictionaryWithJSONString("{}"), Dictionary());
    EXPECT_EQ(dictionaryWithJSONString(" \n{ \t}"), Dictionary());
}

TEST(JsonReader, CommasAreOptionalAndTrailingOnesAllowed) {
    auto d = dictionaryWithJSONString(R"({"a":"1" "b":"2",})");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (Dictionary{{"a", "1"}, {"b", "2"}}));
    auto list = dictionaryWithJSONString(R"({"n":[1 2, 3,]})");
    ASSERT_TRUE(list);
    EXPECT_EQ(At(*list, "n"), Value(Array{Number("1"), Number("2"), Number("3")}));
}

TEST(JsonReader, APairThatFailsEndsTheObject) {
    // The key was read, the separator was not: the object closes empty.
    EXPECT_EQ(dictionaryWithJSONString(R"({"a"})"), Dictionary());
    // A pair cut short must still be followed by the closing brace.
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":"1", "b" 2})"));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":"1")"));
    // A value that fails part-way leaves the scan where it stopped: here at
    // a closing brace, which ends the object with the pairs before it.
    EXPECT_EQ(dictionaryWithJSONString(R"({"z":"0","a":[1, 2})"), (Dictionary{{"z", "0"}}));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":x})"));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":-})"));
    // A later equal key replaces the earlier value where it stood.
    auto d = dictionaryWithJSONString(R"({"a":"1","b":"2","a":"3"})");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (Dictionary{{"a", "3"}, {"b", "2"}}));
}

TEST(JsonReader, WordsAreRecognisedByTheirPrefix) {
    auto d = dictionaryWithJSONString(R"({"t":true"f":false,"n":null})");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (Dictionary{{"t", true}, {"f", false}, {"n", Value()}}));
    // "trueish" is true followed by text that is no pair: the object fails.
    EXPECT_FALSE(dictionaryWithJSONString(R"({"t":trueish})"));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"t":True})"));
}

TEST(JsonReader, NumbersAreExactDecimals) {
    auto d = dictionaryWithJSONString(
        R"({"a":0.1, "b":-0, "c":1.5E+2, "d":123456789012345678901234567890, "e":2.})");
    ASSERT_TRUE(d);
    EXPECT_EQ(At(*d, "a"), Value(Number("0.1")));
    EXPECT_EQ(At(*d, "b"), Value(Number("0")));
    EXPECT_EQ(At(*d, "c"), Value(Number("150")));
    EXPECT_EQ(At(*d, "d").number()->text(), "123456789012345678901234567890");
    EXPECT_EQ(At(*d, "e"), Value(Number("2")));
    // An exponent the writer could not write out in reasonable space fails.
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":1e999999999})"));
    // "1e" is the number 1 followed by text that is no pair.
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":1e})"));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"a":+1})"));
}

TEST(JsonReader, StringEscapes) {
    auto d = dictionaryWithJSONString(R"({"s":"q\" b\\ \b\f\n\r\t / \/ \q \é"})");
    ASSERT_TRUE(d);
    EXPECT_EQ(*At(*d, "s").text(), "q\" b\\ \b\f\n\r\t / \\/ \\q \\\xC3\xA9");
    auto e = dictionaryWithJSONString(R"({"e":"caf\u00E9 \u20AC\u0041"})");
    ASSERT_TRUE(e);
    EXPECT_EQ(*At(*e, "e").text(),
              "caf\xC3\xA9 \xE2\x82\xAC"
              "A");
    // Hex digits must be upper case, and four of them.
    EXPECT_FALSE(dictionaryWithJSONString(R"({"e":"caf\u00e9"})"));
    EXPECT_FALSE(dictionaryWithJSONString(R"({"e":"\u12"})"));
    EXPECT_FALSE(dictionaryWithJSONString("{\"e\":\"\\u00"));
    EXPECT_FALSE(dictionaryWithJSONString("{\"e\":\"abc\\"));
    EXPECT_FALSE(dictionaryWithJSONString("{\"e\":\"abc"));
    auto zero = dictionaryWithJSONString(R"({"z":"a\u0000b"})");
    ASSERT_TRUE(zero);
    EXPECT_EQ(*At(*zero, "z").text(), std::string("a\0b", 3));
}

TEST(JsonReader, SurrogatePairsJoinAndLoneSurrogatesBecomeReplacementCharacters) {
    auto d = dictionaryWithJSONString(
        R"({"pair":"\uD83D\uDE00", "high":"\uD83Dx", "low":"\uDE00", "twoHigh":"\uD83D\uD83D\uDE00"})");
    ASSERT_TRUE(d);
    EXPECT_EQ(*At(*d, "pair").text(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(*At(*d, "high").text(), "\xEF\xBF\xBDx");
    EXPECT_EQ(*At(*d, "low").text(), "\xEF\xBF\xBD");
    EXPECT_EQ(*At(*d, "twoHigh").text(), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(JsonReader, WhiteSpaceIsThePlatformSet) {
    auto d = dictionaryWithJSONString(
        "{\xC2\xA0\"a\"\xE2\x80\xA8:\xE3\x80\x80[\"1\"\xC2\x85\"2\"]\xE2\x80\x89}");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (Dictionary{{"a", Array{Value("1"), Value("2")}}}));
}

std::string Nested(int depth) {
    return std::string("{\"a\":").append(depth, '[').append(depth, ']').append("}");
}

TEST(JsonReader, NestingDeeperThanTheLimitFails) {
    // The object is one level; arrays fill the rest.
    EXPECT_TRUE(dictionaryWithJSONString(Nested(kJsonMaxNesting - 1)));
    EXPECT_FALSE(dictionaryWithJSONString(Nested(kJsonMaxNesting)));
    EXPECT_FALSE(dictionaryWithJSONString(std::string("{\"a\":").append(1'000'000, '[')));
    std::string objects;
    for (int i = 0; i < 100'000; ++i) objects += "{\"a\":";
    EXPECT_FALSE(dictionaryWithJSONString(objects));
}

TEST(JsonReader, EveryPrefixOfAValidTextFailsOrReadsCleanly) {
    const std::string text =
        R"(x={"cmd":"CMD_CURVE","points":["0","0","0", "255" "255"],"n":-1.5e-3,)"
        R"("u":"\uD83D\uDE00\u00E9","b":true,"z":null,"d":{"k":[{}]}})";
    ASSERT_TRUE(dictionaryWithJSONString(text));
    for (std::size_t length = 0; length < text.size(); ++length) {
        // Copied so that reading past the prefix would be caught by the
        // sanitizer build.
        const std::string prefix = text.substr(0, length);
        const auto d = dictionaryWithJSONString(prefix);
        if (d) {
            EXPECT_LE(jsonStringValue(*d).size(), 2 * text.size());
        }
    }
}

TEST(Json, DictionaryToJsonToDictionaryIsTheIdentity) {
    Dictionary d{
        {"cmd", "CMD_COLORBALANCE"},
        {"tColors", Array{Value(Array{Value("0"), Value("-10"), Value("5")}), Value(Array{})}},
        {"tricky text", "quote\" backslash\\ slash/ \\u00E9 tab\t nl\n ctl\x01 \xE2\x82\xAC"},
        {"nested",
         Dictionary{{"deeper", Dictionary{{"x", Number("-0.000125")}}}, {"e", Dictionary{}}}},
        {"flags", Array{Value(true), Value(false), Value()}},
        {"", "empty key"},
        {"big", Number("123456789012345678901234567890e98")},
    };
    const std::string text = jsonStringValue(d);
    auto back = dictionaryWithJSONString(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, d);
    EXPECT_EQ(jsonStringValue(*back), text);
}

}  // namespace
}  // namespace vantrel
