// The command layer's texts: values and exact decimals, number texts, the
// JSON reader and writer, and the packing of parameter records.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>
#include <tuple>
#include <vector>

#include "commands/Json.h"
#include "commands/NumberText.h"
#include "commands/RecordPacking.h"
#include "commands/Value.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;
const float kInf = std::numeric_limits<float>::infinity();

Decimal D(std::string_view text) {
    std::optional<Decimal> number = Decimal::fromText(text);
    EXPECT_TRUE(number.has_value()) << text;
    return number.value_or(Decimal());
}

TEST(Decimal, ExactTextsBoundedZerosAndValues) {
    for (auto [text, written] : {std::pair{"1.50", "1.5"},
                                 {"-0.05", "-0.05"},
                                 {"1.5E+3", "1500"},
                                 {"12.5e-3", "0.0125"},
                                 {"000120.00", "120"},
                                 {"-0.0", "0"},
                                 {"0e999999999999", "0"},
                                 {"123456789012345678901234567890.000000000000000000001",
                                  "123456789012345678901234567890.000000000000000000001"}}) {
        EXPECT_EQ(D(text).text(), written) << text;
    }
    EXPECT_FALSE(D("-0").negative());
    EXPECT_EQ(Decimal::fromInteger(-2147483648LL).text(), "-2147483648");
    // Equal values compare equal whatever their spelling.
    EXPECT_EQ(D("1.5"), D("15e-1"));
    EXPECT_EQ(D("0"), D("-0.000"));
    EXPECT_NE(D("1.5"), D("-1.5"));
    // Not one whole number, or more zeros than a text may need, is refused.
    for (const char* bad :
         {"", "-", ".", "1.5x", " 1", "1 ", "e5", "1e", "--1", "0x1", "inf", "1e129", "1e-130",
          "1e999999999", "1e99999999999999999999999999999", "1e-99999999999999999999999999999"}) {
        EXPECT_FALSE(Decimal::fromText(bad).has_value()) << bad;
    }
    EXPECT_EQ(D("1e128").text().size(), 129u);
    EXPECT_EQ(D("1e-129").text().size(), 2u + 128u + 1u);
    EXPECT_EQ(D("123456e-131").text(),
              "0." + std::string(125, '0') + "123456");  // digits already in the text
    for (auto [text, value] : {std::pair{"2.5", 2},
                               {"-2.5", -2},
                               {"0.999", 0},
                               {"1e5", 100000},
                               {"2147483647", INT_MAX},
                               {"2147483648", INT_MAX},
                               {"-2147483648", INT_MIN},
                               {"-1e20", INT_MIN},
                               {"1e128", INT_MAX}}) {
        EXPECT_EQ(D(text).intValue(), value) << text;
    }
    EXPECT_EQ((std::vector<float>{D("1e5").floatValue(), D("0.1").floatValue(),
                                  D("1e128").floatValue(), D("-1e-129").floatValue()}),
              (std::vector<float>{100000.0f, 0.1f, kInf, -0.0f}));
    EXPECT_EQ(D("0.1").doubleValue(), 0.1);
}

TEST(Value, NumbersAndTextsReadThroughTheSameReaders) {
    EXPECT_EQ((std::vector<int>{Value(D("2.5")).intValue(), Value("2.5").intValue(),
                                Value(D("1e5")).intValue(), Value("1e5").intValue(),
                                Value(true).intValue()}),
              (std::vector<int>{2, 2, 100000, 1,
                                1}));  // a number is its value; a text follows the text rules
    EXPECT_EQ((std::vector<float>{Value(D("2.5")).floatValue(), Value("2.5").floatValue(),
                                  Value(false).floatValue()}),
              (std::vector<float>{2.5f, 2.5f, 0}));
    EXPECT_TRUE(Value(D("0.5")).boolValue());
    EXPECT_FALSE(Value("0.5").boolValue());
    EXPECT_EQ(Value(D("-0.05")).stringValue(), "-0.05");
    EXPECT_EQ(Value(true).stringValue(), "1");
    for (const Value& empty : {Value(), Value(Array{Value("7")}), Value(Dictionary{{"a", "7"}})}) {
        EXPECT_EQ(std::tuple(empty.intValue(), empty.floatValue(), empty.boolValue()),
                  std::tuple(0, 0.0f, false));
        EXPECT_EQ(empty.stringValue(), "");
    }
    // Copies are deep.
    Value original(Dictionary{{"inner", Dictionary{{"x", "1"}}}, {"list", Array{Value("a")}}});
    Value copy = original;
    copy.dictionary()->find("inner")->dictionary()->set("x", "2");
    copy.dictionary()->find("list")->array()->push_back("b");
    EXPECT_EQ(*original.dictionary()->find("inner")->dictionary()->find("x")->text(), "1");
    EXPECT_EQ(original.dictionary()->find("list")->array()->size(), 1u);
    EXPECT_NE(copy, original);
}

TEST(Dictionary, KeepsInsertionOrderReplacesInPlaceAndFindsManyKeys) {
    Dictionary d{{"cmd", "CMD_ZOOM"}, {"scale", "0.5"}, {"extra", Value()}};
    d.set("cmd", "CMD_ROTATE");
    EXPECT_EQ(Texts(d), "cmd=CMD_ROTATE scale=0.5 extra=null");
    EXPECT_TRUE(d.remove("scale"));
    EXPECT_FALSE(d.remove("scale"));
    EXPECT_EQ(Texts(d), "cmd=CMD_ROTATE extra=null");
    EXPECT_EQ(d.find("scale"), nullptr);
    EXPECT_NE((Dictionary{{"a", "1"}, {"b", "2"}}), (Dictionary{{"b", "2"}, {"a", "1"}}))
        << "equality sees order";
    Dictionary many;
    constexpr int kCount = 5000;
    const auto key = [](int i) { return "k" + std::to_string(i); };
    for (int i = 0; i < kCount; ++i) many.set(key(i), std::to_string(i));
    for (int i = 0; i < kCount; i += 2) many.set(key(i), "even");
    for (int i = 0; i < kCount; i += 100) EXPECT_TRUE(many.remove(key(i)));
    EXPECT_EQ(many.size(), static_cast<std::size_t>(kCount - kCount / 100));
    for (int i = 0; i < kCount; ++i) {
        const Value* value = many.find(key(i));
        ASSERT_EQ(value ? *value->text() : "", i % 100 == 0 ? ""
                                               : i % 2 == 0 ? "even"
                                                            : std::to_string(i))
            << i;
    }
    EXPECT_EQ(many.keyAt(0), "k1");
    // Shrinking back below the index threshold keeps lookups working.
    Dictionary small;
    for (int i = 0; i < 12; ++i) small.set(std::to_string(i), "x");
    for (int i = 0; i < 10; ++i) small.remove(std::to_string(i));
    EXPECT_NE(small.find("11"), nullptr);
    EXPECT_EQ(small.find("3"), nullptr);
}

TEST(NumberText, WritersUseTheCommandTextForms) {
    EXPECT_EQ(
        (std::vector<std::string>{intText(50), intText(INT_MIN), boolText(true), boolText(false)}),
        (std::vector<std::string>{"50", "-2147483648", "1", "0"}));
    // The float is widened, not re-read as a decimal: 123456.789f is
    // 123456.7890625, whose tie at the sixth decimal rounds to even.
    for (auto [value, text] : {std::pair{0.5f, "0.500000"},
                               {-45.0f, "-45.000000"},
                               {123456.789f, "123456.789062"},
                               {1e-7f, "0.000000"},
                               {3.4e38f, "339999995214436424907732413799364296704.000000"}}) {
        EXPECT_EQ(floatFixedText(value), text);
    }
    // Seven digits hide a float's error.
    for (auto [value, text] : {std::pair{1.0f, "1"},
                               {0.25f, "0.25"},
                               {0.1f, "0.1"},
                               {16777216.0f, "1.677722e+07"},
                               {1e-7f, "1e-07"},
                               {-0.0f, "-0"}}) {
        EXPECT_EQ(floatGeneralText(value), text);
    }
    EXPECT_EQ((std::vector<std::string>{doubleGeneralText(1.2), doubleGeneralText(1.0 / 3.0),
                                        doubleGeneralText(static_cast<double>(1.2f))}),
              (std::vector<std::string>{"1.2", "0.3333333333333333", "1.200000047683716"}));
}

TEST(NumberText, ReadersFollowThePlatformRules) {
    // Leading integers skip the platform's white space (no-break and
    // ideographic included) and saturate at the int range.
    for (auto [text, value] : {std::pair{"42", 42},
                               {" \t\n\r\v\f42abc", 42},
                               {"\xC2\xA0\xE3\x80\x80"
                                "7",
                                7},
                               {"+7", 7},
                               {"-0012", -12},
                               {"3.9", 3},
                               {"-3.9", -3},
                               {"1e5", 1},
                               {"- 5", 0},
                               {"--5", 0},
                               {"abc", 0},
                               {"", 0},
                               {"x42", 0},
                               {"2147483647", INT_MAX},
                               {"2147483648", INT_MAX},
                               {"-2147483648", INT_MIN},
                               {"-2147483649", INT_MIN},
                               {"99999999999999999999999999999999", INT_MAX},
                               {"-99999999999999999999999999999999", INT_MIN},
                               {"00000000000000000000000000000012", 12}}) {
        EXPECT_EQ(leadingInt(text), value) << text;
    }
    // Floats take the longest decimal number; no hexadecimal, infinities or
    // NaN from text; overflow to infinity, underflow to zero.
    for (auto [text, value] : {std::pair{"0.500000", 0.5f},
                               {"  1.5e3xyz", 1500.0f},
                               {"+2.5", 2.5f},
                               {".5", 0.5f},
                               {"-.5", -0.5f},
                               {"5.", 5.0f},
                               {"1e", 1.0f},
                               {"1e+", 1.0f},
                               {"1,5", 1.0f},
                               {"0.1", 0.1f},
                               {"1.2000000476837158", 1.2f},
                               {"0x10", 0.0f},
                               {"inf", 0.0f},
                               {"nan", 0.0f},
                               {".", 0.0f},
                               {"-", 0.0f},
                               {"1e39", kInf},
                               {"-1e39", -kInf},
                               {"123456789012345678901234567890123456789012", kInf},
                               {"1e-60", 0.0f},
                               {"0.00000000000000000000000000000000000000000000000001", 0.0f},
                               {"1e99999999999999999999", kInf},
                               {"1e-99999999999999999999", 0.0f}}) {
        EXPECT_EQ(floatOfText(text), value) << text;
    }
    EXPECT_TRUE(std::signbit(floatOfText("-1e-60")));
    EXPECT_EQ((std::vector<double>{doubleOfText("0.1"), doubleOfText("1.2000000476837158"),
                                   doubleOfText("1e309"), doubleOfText("1e38")}),
              (std::vector<double>{0.1, static_cast<double>(1.2f),
                                   std::numeric_limits<double>::infinity(), 1e38}));
    // Booleans look at the first meaningful character.
    for (const char* yes : {"1", "YES", "yes", "True", "t", " y", "9", "-1", "007", "+3"})
        EXPECT_TRUE(boolOfText(yes)) << yes;
    for (const char* no : {"0", "", "NO", "false", "F", "00", "0.5", "+0", " ", "x1"})
        EXPECT_FALSE(boolOfText(no)) << no;
    // White space is the platform's set, never read past the end; a zero-width
    // space is none, nor is a cut-off sequence.
    for (auto [text, length] : {std::pair{" \t\r\n\v\fx", 6u},
                                {"\xC2\x85\xE2\x80\xA8\xE2\x80\xA9\xE2\x81\x9F\xE1\x9A\x80x", 14u},
                                {"\xE2\x80\x8B", 0u},
                                {"\xE2\x80", 0u},
                                {"\xC2", 0u},
                                {"   ", 3u}}) {
        EXPECT_EQ(skipWhiteSpace(text, 0), length) << text;
    }
    EXPECT_EQ(skipWhiteSpace("ab", 5), 2u);
}

// A numpunct that writes and reads ',' as the decimal point.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberText, NumbersIgnoreTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaDecimal));
    // Where a comma-decimal C locale is installed, the C functions change too.
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name)) break;
    }
    EXPECT_EQ((std::vector<std::string>{floatFixedText(1.5f), floatGeneralText(0.25f),
                                        doubleGeneralText(1.2)}),
              (std::vector<std::string>{"1.500000", "0.25", "1.2"}));
    EXPECT_EQ((std::vector<double>{floatOfText("1.5"), floatOfText("1,5"), doubleOfText("2.25")}),
              (std::vector<double>{1.5, 1.0, 2.25}));
    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previous);
}

std::string Json(const char* text) {
    const auto d = dictionaryWithJSONString(text);
    return d ? jsonStringValueWithIndentLevel(*d, -1) : "refused";
}

TEST(JsonWriter, IndentedLinesExactNumbersAndFewEscapes) {
    EXPECT_EQ(jsonStringValue(Dictionary{{"cmd", "CMD_ZOOM"}, {"scale", "0.500000"}}),
              "{\n \"cmd\" : \"CMD_ZOOM\",\n \"scale\" : \"0.500000\"}");
    EXPECT_EQ(jsonStringValue(Dictionary{}), "{}");
    // Nested dictionaries go one level deeper, also inside arrays; arrays
    // themselves stay on the line.
    Dictionary nested{{"a", Dictionary{{"b", "c"}}},
                      {"list", Array{Value("1"), Value(Dictionary{{"k", "v"}}), Value(Array{})}}};
    EXPECT_EQ(jsonStringValue(nested),
              "{\n \"a\" : {\n\t \"b\" : \"c\"},\n \"list\" : [\"1\", {\n\t \"k\" : \"v\"}, []]}");
    EXPECT_EQ(jsonStringValueWithIndentLevel(Dictionary{{"a", "1"}}, 2), "{\n\t\t \"a\" : \"1\"}");
    Dictionary words{
        {"n", Value()}, {"t", true}, {"f", false}, {"x", D("1.25e-4")}, {"y", D("-3E2")}};
    EXPECT_EQ(jsonStringValueWithIndentLevel(words, -1),
              "{ \"n\" : null, \"t\" : true, \"f\" : false, \"x\" : 0.000125, \"y\" : -300}");
    // Only quotes, backslashes and five controls are escaped.
    EXPECT_EQ(jsonStringForString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonStringForString("\b\t\n\f\r"), "\"\\b\\t\\n\\f\\r\"");
    EXPECT_EQ(jsonStringForString(std::string("/\x01\x1f\x7f\xC3\xA9\0", 7)),
              std::string("\"/\x01\x1f\x7f\xC3\xA9\0\"", 9));
}

TEST(JsonReader, ReadsLeniently) {
    const std::pair<const char*, const char*> cases[] = {
        // Text before the first brace is skipped, after the object ignored.
        {"var actions = {\"a\" : \"1\"}; trailing {", R"({ "a" : "1"})"},
        {"no object here", "refused"},
        {"", "refused"},
        {" \n{ \t}", "{}"},
        // Commas are optional, trailing ones allowed.
        {R"({"a":"1" "b":"2",})", R"({ "a" : "1", "b" : "2"})"},
        {R"({"n":[1 2, 3,]})", R"({ "n" : [1, 2, 3]})"},
        // A pair that fails ends the object: read key without separator closes
        // it empty; a pair cut short must still be followed by the brace; a
        // value that fails part-way leaves the scan where it stopped.
        {R"({"a"})", "{}"},
        {R"({"a":"1", "b" 2})", "refused"},
        {R"({"a":"1")", "refused"},
        {R"({"z":"0","a":[1, 2})", R"({ "z" : "0"})"},
        {R"({"a":x})", "refused"},
        {R"({"a":-})", "refused"},
        // A later equal key replaces the earlier value where it stood.
        {R"({"a":"1","b":"2","a":"3"})", R"({ "a" : "3", "b" : "2"})"},
        // Words by their prefix: "trueish" is true followed by no pair.
        {R"({"t":true"f":false,"n":null})", R"({ "t" : true, "f" : false, "n" : null})"},
        {R"({"t":trueish})", "refused"},
        {R"({"t":True})", "refused"},
        // Numbers are exact decimals; an exponent past what the writer could
        // write out fails; "1e" is the number 1 followed by no pair.
        {R"({"a":0.1, "b":-0, "c":1.5E+2, "d":123456789012345678901234567890, "e":2.})",
         R"({ "a" : 0.1, "b" : 0, "c" : 150, "d" : 123456789012345678901234567890, "e" : 2})"},
        {R"({"a":1e999999999})", "refused"},
        {R"({"a":1e})", "refused"},
        {R"({"a":+1})", "refused"},
        // Escapes: unknown ones keep their backslash; hex digits upper case, four of them.
        {R"({"s":"q\" b\\ \b\f\n\r\t / \/ \q"})",
         "{ \"s\" : \"q\\\" b\\\\ \\b\\f\\n\\r\\t / \\\\/ \\\\q\"}"},
        {R"({"e":"caf\u00E9 \u20AC\u0041"})",
         "{ \"e\" : \"caf\xC3\xA9 \xE2\x82\xAC"
         "A\"}"},
        {R"({"e":"\u00FF\uFFFD"})", "{ \"e\" : \"\xC3\xBF\xEF\xBF\xBD\"}"},
        {R"({"e":"caf\u00e9"})", "refused"},
        {R"({"e":"\u12"})", "refused"},
        {"{\"e\":\"\\u00", "refused"},
        {"{\"e\":\"abc\\", "refused"},
        {"{\"e\":\"abc", "refused"},
        // Surrogate pairs join; lone surrogates become replacement characters.
        {R"({"p":"\uD83D\uDE00", "h":"\uD83Dx", "l":"\uDE00", "t":"\uD83D\uD83D\uDE00"})",
         "{ \"p\" : \"\xF0\x9F\x98\x80\", \"h\" : \"\xEF\xBF\xBDx\", \"l\" : \"\xEF\xBF\xBD\", "
         "\"t\" : \"\xEF\xBF\xBD\xF0\x9F\x98\x80\"}"},
        // White space is the platform's set.
        {"{\xC2\xA0\"a\"\xE2\x80\xA8:\xE3\x80\x80[\"1\"\xC2\x85\"2\"]\xE2\x80\x89}",
         R"({ "a" : ["1", "2"]})"},
    };
    for (const auto& [text, written] : cases) EXPECT_EQ(Json(text), written) << text;
    EXPECT_EQ(*dictionaryWithJSONString(R"({"z":"a\u0000b"})")->find("z")->text(),
              std::string("a\0b", 3));
    EXPECT_EQ(*dictionaryWithJSONString(R"({"s":"\é"})")->find("s")->text(), "\\\xC3\xA9");
}

TEST(JsonReader, NestingIsBoundedAndEveryPrefixFailsOrReadsCleanly) {
    // The outer object is one level; arrays, or objects, fill the rest.
    const auto nested = [](int depth) {
        return std::string("{\"a\":").append(depth, '[').append(depth, ']').append("}");
    };
    const auto nestedObjects = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "{\"a\":";
        return text.append("{}").append(depth, '}');
    };
    for (const auto& make : {+nested, +nestedObjects}) {
        EXPECT_TRUE(dictionaryWithJSONString(make(kJsonMaxNesting - 1)));
        EXPECT_FALSE(dictionaryWithJSONString(make(kJsonMaxNesting)));
    }
    EXPECT_FALSE(dictionaryWithJSONString(std::string("{\"a\":").append(1'000'000, '[')));
    std::string objects;
    for (int i = 0; i < 100'000; ++i) objects += "{\"a\":";
    EXPECT_FALSE(dictionaryWithJSONString(objects));
    const std::string text =
        R"(x={"cmd":"CMD_CURVE","points":["0","0","0", "255" "255"],"n":-1.5e-3,)"
        R"("u":"\uD83D\uDE00\u00E9","b":true,"z":null,"d":{"k":[{}]}})";
    ASSERT_TRUE(dictionaryWithJSONString(text));
    for (std::size_t length = 0; length < text.size(); ++length) {
        // Copied so that reading past the prefix would be caught by the sanitizer build.
        const auto d = dictionaryWithJSONString(text.substr(0, length));
        if (d) {
            EXPECT_LE(jsonStringValue(*d).size(), 2 * text.size());
        }
    }
    // Dictionary to JSON to dictionary is the identity.
    Dictionary d{
        {"cmd", "CMD_COLORBALANCE"},
        {"tColors", Array{Value(Array{Value("0"), Value("-10"), Value("5")}), Value(Array{})}},
        {"tricky text", "quote\" backslash\\ slash/ \\u00E9 tab\t nl\n ctl\x01 \xE2\x82\xAC"},
        {"nested", Dictionary{{"deeper", Dictionary{{"x", D("-0.000125")}}}, {"e", Dictionary{}}}},
        {"flags", Array{Value(true), Value(false), Value()}},
        {"", "empty key"},
        {"big", D("123456789012345678901234567890e98")},
    };
    auto back = dictionaryWithJSONString(jsonStringValue(d));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, d);
    EXPECT_EQ(jsonStringValue(*back), jsonStringValue(d));
}

// Each record's text form and field order is pinned by the factory table
// (CommandTest.cpp) and what the getters read back by the dispatcher's row
// sweep; here, arrays that are short, long or of the wrong kinds.
TEST(RecordPacking, MalformedArraysReadOrderly) {
    // Vec3 sequences are flat; a count not a multiple of three is cut short.
    Array seven;
    for (int i = 0; i < 7; ++i) seven.push_back(std::to_string(i));
    EXPECT_EQ(getPointsNum(seven), 2);
    EXPECT_EQ(getVecs3(seven).size(), 2u);
    EXPECT_EQ(getVecs3(seven)[1].z, 5.0f);
    EXPECT_TRUE(dataWithPoints({}).empty());
    EXPECT_TRUE(getVecs3(Array()).empty());
    // TinyRGB components are integers narrowed to a byte; wrong kinds read as
    // zero; a missing nested record as all zero.
    const TinyRGB rgb = getRGB(Array{Value("300"), Value("-1")});
    EXPECT_EQ((std::vector<int>{rgb.m_red, rgb.m_green, rgb.m_blue}),
              (std::vector<int>{44, 255, 0}));
    const RGBPoint stop = getRGBPoint(Array{Value(Array{}), Value("0.5"), Value("not an array")});
    EXPECT_EQ((std::vector<float>{stop.position, stop.midpoint, float(stop.color.m_red)}),
              (std::vector<float>{0, 0.5f, 0}));
    EXPECT_EQ(getLevelData(Array{Value("5")}).BlueLow, 5);
    EXPECT_EQ(getLevelData(Array{Value("5")}).AllGamma, 0.0);
    EXPECT_EQ(getHSLData(Array{}).all.m_hue, 0);
    EXPECT_EQ(getScaleSet(Array{Value("0.5")}).reds.cyan, 0.5f);
}

}  // namespace
}  // namespace vantrel
