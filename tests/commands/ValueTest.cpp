#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "commands/Value.h"

namespace vantrel {
namespace {

Decimal D(std::string_view text) {
    std::optional<Decimal> number = Decimal::fromText(text);
    EXPECT_TRUE(number.has_value()) << text;
    return number.value_or(Decimal());
}

TEST(Decimal, KeepsNumbersExactAndWritesThemWithoutExponent) {
    EXPECT_EQ(D("1.50").text(), "1.5");
    EXPECT_EQ(D("-0.05").text(), "-0.05");
    EXPECT_EQ(D("1.5E+3").text(), "1500");
    EXPECT_EQ(D("12.5e-3").text(), "0.0125");
    EXPECT_EQ(D("000120.00").text(), "120");
    EXPECT_EQ(D("-0.0").text(), "0");
    EXPECT_FALSE(D("-0").negative());
    EXPECT_EQ(D("0e999999999999").text(), "0");
    EXPECT_EQ(D("123456789012345678901234567890.000000000000000000001").text(),
              "123456789012345678901234567890.000000000000000000001");
    EXPECT_EQ(Decimal::fromInteger(-2147483648LL).text(), "-2147483648");
    // Equal values compare equal whatever their spelling.
    EXPECT_EQ(D("1.5"), D("15e-1"));
    EXPECT_EQ(D("0"), D("-0.000"));
    EXPECT_NE(D("1.5"), D("-1.5"));
}

TEST(Decimal, RefusesTextThatIsNotOneWholeNumber) {
    for (const char* bad : {"", "-", ".", "1.5x", " 1", "1 ", "e5", "1e", "--1", "0x1", "inf"}) {
        EXPECT_FALSE(Decimal::fromText(bad).has_value()) << bad;
    }
}

TEST(Decimal, BoundsTheZerosItsTextWouldNeed) {
    EXPECT_EQ(D("1e128").text().size(), 129u);
    EXPECT_FALSE(Decimal::fromText("1e129").has_value());
    EXPECT_EQ(D("1e-129").text().size(), 2u + 128u + 1u);
    EXPECT_FALSE(Decimal::fromText("1e-130").has_value());
    // Many digits are fine: they were in the text already.
    EXPECT_EQ(D("123456e-131").text(), "0." + std::string(125, '0') + "123456");
    EXPECT_FALSE(Decimal::fromText("1e999999999").has_value());
    EXPECT_FALSE(Decimal::fromText("1e99999999999999999999999999999").has_value());
    EXPECT_FALSE(Decimal::fromText("1e-99999999999999999999999999999").has_value());
}

TEST(Decimal, ReadsAsItsOwnValue) {
    EXPECT_EQ(D("2.5").intValue(), 2);
    EXPECT_EQ(D("-2.5").intValue(), -2);
    EXPECT_EQ(D("0.999").intValue(), 0);
    EXPECT_EQ(D("1e5").intValue(), 100000);
    EXPECT_EQ(D("2147483647").intValue(), INT_MAX);
    EXPECT_EQ(D("2147483648").intValue(), INT_MAX);
    EXPECT_EQ(D("-2147483648").intValue(), INT_MIN);
    EXPECT_EQ(D("-1e20").intValue(), INT_MIN);
    EXPECT_EQ(D("1e128").intValue(), INT_MAX);
    EXPECT_EQ(D("1e5").floatValue(), 100000.0f);
    EXPECT_EQ(D("0.1").floatValue(), 0.1f);
    EXPECT_EQ(D("0.1").doubleValue(), 0.1);
    EXPECT_EQ(D("1e128").floatValue(), std::numeric_limits<float>::infinity());
    EXPECT_EQ(D("-1e-129").floatValue(), -0.0f);
}

TEST(Value, NumbersAndTextsReadThroughTheSameReaders) {
    EXPECT_EQ(Value(D("2.5")).intValue(), 2);
    EXPECT_EQ(Value("2.5").intValue(), 2);
    EXPECT_EQ(Value(D("2.5")).floatValue(), 2.5f);
    EXPECT_EQ(Value("2.5").floatValue(), 2.5f);
    // A number is its value; a text follows the text rules.
    EXPECT_EQ(Value(D("1e5")).intValue(), 100000);
    EXPECT_EQ(Value("1e5").intValue(), 1);
    EXPECT_TRUE(Value(D("0.5")).boolValue());
    EXPECT_FALSE(Value("0.5").boolValue());
    EXPECT_EQ(Value(D("-0.05")).stringValue(), "-0.05");

    EXPECT_EQ(Value(true).intValue(), 1);
    EXPECT_EQ(Value(true).stringValue(), "1");
    EXPECT_EQ(Value(false).floatValue(), 0.0f);
    for (const Value& empty : {Value(), Value(Array{Value("7")}), Value(Dictionary{{"a", "7"}})}) {
        EXPECT_EQ(empty.intValue(), 0);
        EXPECT_EQ(empty.floatValue(), 0.0f);
        EXPECT_FALSE(empty.boolValue());
        EXPECT_EQ(empty.stringValue(), "");
    }
}

TEST(Dictionary, KeepsInsertionOrderAndReplacesInPlace) {
    Dictionary d;
    d.set("cmd", "CMD_ZOOM");
    d.set("scale", "0.5");
    d.set("extra", Value());
    d.set("cmd", "CMD_ROTATE");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d.keyAt(0), "cmd");
    EXPECT_EQ(*d.valueAt(0).text(), "CMD_ROTATE");
    EXPECT_EQ(d.keyAt(2), "extra");
    EXPECT_TRUE(d.remove("scale"));
    EXPECT_FALSE(d.remove("scale"));
    EXPECT_EQ(d.keyAt(1), "extra");
    EXPECT_EQ(d.find("scale"), nullptr);
    // Equality sees order.
    EXPECT_NE((Dictionary{{"a", "1"}, {"b", "2"}}), (Dictionary{{"b", "2"}, {"a", "1"}}));
    EXPECT_EQ((Dictionary{{"a", "1"}, {"b", "2"}}), (Dictionary{{"a", "1"}, {"b", "2"}}));
}

std::string Key(int i) {
    return std::string("k").append(std::to_string(i));
}

TEST(Dictionary, ManyKeysStayFindableThroughSetsAndRemovals) {
    Dictionary d;
    constexpr int kCount = 5000;
    for (int i = 0; i < kCount; ++i) d.set(Key(i), std::to_string(i));
    for (int i = 0; i < kCount; i += 2) d.set(Key(i), "even");
    for (int i = 0; i < kCount; i += 100) EXPECT_TRUE(d.remove(Key(i)));
    EXPECT_EQ(d.size(), static_cast<std::size_t>(kCount - kCount / 100));
    for (int i = 0; i < kCount; ++i) {
        const Value* value = d.find(Key(i));
        if (i % 100 == 0) {
            EXPECT_EQ(value, nullptr);
        } else {
            ASSERT_NE(value, nullptr) << i;
            EXPECT_EQ(*value->text(), i % 2 == 0 ? "even" : std::to_string(i));
        }
    }
    EXPECT_EQ(d.keyAt(0), "k1");
    // Shrinking back below the index threshold keeps lookups working.
    Dictionary small;
    for (int i = 0; i < 12; ++i) small.set(std::to_string(i), "x");
    for (int i = 0; i < 10; ++i) small.remove(std::to_string(i));
    EXPECT_NE(small.find("11"), nullptr);
    EXPECT_EQ(small.find("3"), nullptr);
}

TEST(Value, CopiesAreDeep) {
    Dictionary inner{{"x", "1"}};
    Value original(Dictionary{{"inner", inner}, {"list", Array{Value("a")}}});
    Value copy = original;
    copy.dictionary()->find("inner")->dictionary()->set("x", "2");
    copy.dictionary()->find("list")->array()->push_back("b");
    EXPECT_EQ(*original.dictionary()->find("inner")->dictionary()->find("x")->text(), "1");
    EXPECT_EQ(original.dictionary()->find("list")->array()->size(), 1u);
    EXPECT_NE(copy, original);
}

}  // namespace
}  // namespace vantrel
