#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include "commands/NumberText.h"

namespace vantrel {
namespace {

TEST(NumberText, WritersUseTheCommandTextForms) {
    EXPECT_EQ(intText(50), "50");
    EXPECT_EQ(intText(INT_MIN), "-2147483648");
    EXPECT_EQ(boolText(true), "1");
    EXPECT_EQ(boolText(false), "0");

    EXPECT_EQ(floatFixedText(0.5f), "0.500000");
    EXPECT_EQ(floatFixedText(-45.0f), "-45.000000");
    // The float is widened, not re-read as a decimal: 123456.789f is
    // 123456.7890625, whose tie at the sixth decimal rounds to even.
    EXPECT_EQ(floatFixedText(123456.789f), "123456.789062");
    EXPECT_EQ(floatFixedText(1e-7f), "0.000000");
    EXPECT_EQ(floatFixedText(3.4e38f), "339999995214436424907732413799364296704.000000");

    EXPECT_EQ(floatGeneralText(1.0f), "1");
    EXPECT_EQ(floatGeneralText(0.25f), "0.25");
    EXPECT_EQ(floatGeneralText(0.1f), "0.1");  // 7 digits hide the float's error
    EXPECT_EQ(floatGeneralText(16777216.0f), "1.677722e+07");
    EXPECT_EQ(floatGeneralText(1e-7f), "1e-07");
    EXPECT_EQ(floatGeneralText(-0.0f), "-0");

    EXPECT_EQ(doubleGeneralText(1.2), "1.2");
    EXPECT_EQ(doubleGeneralText(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(doubleGeneralText(static_cast<double>(1.2f)), "1.200000047683716");
}

TEST(NumberText, LeadingIntegerFollowsThePlatformRules) {
    EXPECT_EQ(leadingInt("42"), 42);
    EXPECT_EQ(leadingInt(" \t\n\r\v\f42abc"), 42);
    EXPECT_EQ(leadingInt("\xC2\xA0\xE3\x80\x80"
                         "7"),
              7);  // no-break and ideographic spaces
    EXPECT_EQ(leadingInt("+7"), 7);
    EXPECT_EQ(leadingInt("-0012"), -12);
    EXPECT_EQ(leadingInt("3.9"), 3);
    EXPECT_EQ(leadingInt("-3.9"), -3);
    EXPECT_EQ(leadingInt("1e5"), 1);
    EXPECT_EQ(leadingInt("- 5"), 0);
    EXPECT_EQ(leadingInt("--5"), 0);
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_EQ(leadingInt(""), 0);
    EXPECT_EQ(leadingInt("x42"), 0);
}

TEST(NumberText, LeadingIntegerSaturatesAtTheIntRange) {
    EXPECT_EQ(leadingInt("2147483647"), INT_MAX);
    EXPECT_EQ(leadingInt("2147483648"), INT_MAX);
    EXPECT_EQ(leadingInt("-2147483648"), INT_MIN);
    EXPECT_EQ(leadingInt("-2147483649"), INT_MIN);
    EXPECT_EQ(leadingInt("99999999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(leadingInt("-99999999999999999999999999999999"), INT_MIN);
    EXPECT_EQ(leadingInt("00000000000000000000000000000012"), 12);
}

TEST(NumberText, FloatReaderTakesTheLongestDecimalNumber) {
    EXPECT_EQ(floatOfText("0.500000"), 0.5f);
    EXPECT_EQ(floatOfText("  1.5e3xyz"), 1500.0f);
    EXPECT_EQ(floatOfText("+2.5"), 2.5f);
    EXPECT_EQ(floatOfText(".5"), 0.5f);
    EXPECT_EQ(floatOfText("-.5"), -0.5f);
    EXPECT_EQ(floatOfText("5."), 5.0f);
    EXPECT_EQ(floatOfText("1e"), 1.0f);
    EXPECT_EQ(floatOfText("1e+"), 1.0f);
    EXPECT_EQ(floatOfText("1,5"), 1.0f);
    EXPECT_EQ(floatOfText("0.1"), 0.1f);
    EXPECT_EQ(doubleOfText("0.1"), 0.1);
    EXPECT_EQ(doubleOfText("1.2000000476837158"), static_cast<double>(1.2f));
    EXPECT_EQ(floatOfText("1.2000000476837158"), 1.2f);
    // No hexadecimal, infinities or NaN from text: they read as nothing.
    EXPECT_EQ(floatOfText("0x10"), 0.0f);
    EXPECT_EQ(floatOfText("inf"), 0.0f);
    EXPECT_EQ(floatOfText("nan"), 0.0f);
    EXPECT_EQ(floatOfText("."), 0.0f);
    EXPECT_EQ(floatOfText("-"), 0.0f);
}

TEST(NumberText, FloatReaderOverflowsToInfinityAndUnderflowsToZero) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(floatOfText("1e39"), inf);
    EXPECT_EQ(floatOfText("-1e39"), -inf);
    EXPECT_EQ(floatOfText("123456789012345678901234567890123456789012"), inf);
    EXPECT_EQ(floatOfText("1e-60"), 0.0f);
    EXPECT_EQ(floatOfText("0.00000000000000000000000000000000000000000000000001"), 0.0f);
    EXPECT_TRUE(std::signbit(floatOfText("-1e-60")));
    EXPECT_EQ(floatOfText("1e99999999999999999999"), inf);
    EXPECT_EQ(floatOfText("1e-99999999999999999999"), 0.0f);
    EXPECT_EQ(doubleOfText("1e309"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(doubleOfText("1e38"), 1e38);
}

TEST(NumberText, BooleanReaderLooksAtTheFirstMeaningfulCharacter) {
    for (const char* yes : {"1", "YES", "yes", "True", "t", " y", "9", "-1", "007", "+3"}) {
        EXPECT_TRUE(boolOfText(yes)) << yes;
    }
    for (const char* no : {"0", "", "NO", "false", "F", "00", "0.5", "+0", " ", "x1"}) {
        EXPECT_FALSE(boolOfText(no)) << no;
    }
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
    EXPECT_EQ(floatFixedText(1.5f), "1.500000");
    EXPECT_EQ(floatGeneralText(0.25f), "0.25");
    EXPECT_EQ(doubleGeneralText(1.2), "1.2");
    EXPECT_EQ(floatOfText("1.5"), 1.5f);
    EXPECT_EQ(floatOfText("1,5"), 1.0f);
    EXPECT_EQ(doubleOfText("2.25"), 2.25);
    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previous);
}

TEST(NumberText, WhiteSpaceIsThePlatformSetAndNeverReadsPastTheEnd) {
    EXPECT_EQ(skipWhiteSpace(" \t\r\n\v\fx", 0), 6u);
    EXPECT_EQ(skipWhiteSpace("\xC2\x85\xE2\x80\xA8\xE2\x80\xA9\xE2\x81\x9F\xE1\x9A\x80x", 0), 14u);
    EXPECT_EQ(skipWhiteSpace("\xE2\x80\x8B", 0), 0u);  // zero-width space is not white space
    EXPECT_EQ(skipWhiteSpace("\xE2\x80", 0), 0u);      // a cut-off sequence
    EXPECT_EQ(skipWhiteSpace("\xC2", 0), 0u);
    EXPECT_EQ(skipWhiteSpace("   ", 0), 3u);
    EXPECT_EQ(skipWhiteSpace("ab", 5), 2u);
}

}  // namespace
}  // namespace vantrel
