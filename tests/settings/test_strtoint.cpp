#include "StrToInt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>

namespace {
constexpr std::int32_t INT32_MAXIMUM = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t INT32_MINIMUM = std::numeric_limits<std::int32_t>::min();

struct ConversionCase {
    const char* text;
    std::optional<std::int32_t> expected; // nullopt: the conversion fails
};

const ConversionCase CONVERSION_CASES[] = {
    // decimal, spaces and signs
    {"0", 0},
    {"502", 502},
    {"007", 7},
    {"   502", 502},
    {"+502", 502},
    {"-502", -502},
    {"  -7", -7},
    {"  +0", 0},
    {"-0", 0},
    // the 32-bit limits on both sides
    {"2147483647", INT32_MAXIMUM},
    {"+2147483647", INT32_MAXIMUM},
    {"0000000000002147483647", INT32_MAXIMUM},
    {"2147483648", std::nullopt},
    {"-2147483648", INT32_MINIMUM},
    {"-2147483649", std::nullopt},
    {"4294967295", std::nullopt},
    {"99999999999999999999", std::nullopt},
    // every hexadecimal prefix, either letter case of digits
    {"$1F6", 502},
    {"x1f6", 502},
    {"X1F6", 502},
    {"0x1F6", 502},
    {"0X1f6", 502},
    {"  -$10", -16},
    {"+0x10", 16},
    // eight digits are a 32-bit pattern, nine are too many even when they lead with zeros
    {"$7FFFFFFF", INT32_MAXIMUM},
    {"$80000000", INT32_MINIMUM},
    {"$FFFFFFFF", -1},
    {"0xffffffff", -1},
    {"$00000001", 1},
    {"$123456789", std::nullopt},
    {"$000000001", std::nullopt},
    // a minus sign negates the pattern modulo 2^32
    {"-$80000000", INT32_MINIMUM},
    {"-$FFFFFFFF", 1},
    // nothing may follow, nothing may be missing
    {"502 ", std::nullopt},
    {"50 2", std::nullopt},
    {"", std::nullopt},
    {"   ", std::nullopt},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {"  -", std::nullopt},
    {"$", std::nullopt},
    {"x", std::nullopt},
    {"X", std::nullopt},
    {"0x", std::nullopt},
    {"0X", std::nullopt},
    {"-0x", std::nullopt},
    // anything else is not an integer
    {"--5", std::nullopt},
    {"+-5", std::nullopt},
    {"- 5", std::nullopt},
    {"$-5", std::nullopt},
    {"0x-5", std::nullopt},
    {"$$5", std::nullopt},
    {"0$5", std::nullopt},
    {"$G", std::nullopt},
    {"12a", std::nullopt},
    {"1F6", std::nullopt},
    {"5.0", std::nullopt},
    {"1e3", std::nullopt},
    {"\t5", std::nullopt},
    {"\xC2\xA0" "5", std::nullopt},        // no-break space is not a space here
    {"\xD9\xA5", std::nullopt},            // ARABIC-INDIC DIGIT FIVE
    {"\xEF\xBC\x95", std::nullopt},        // FULLWIDTH DIGIT FIVE
    {"false", std::nullopt},
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class StrToIntTable : public testing::TestWithParam<ConversionCase> {};

TEST_P(StrToIntTable, ConvertsOrThrows) {
    const ConversionCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    if (c.expected) {
        EXPECT_EQ(StrToInt(text), *c.expected);
    } else {
        EXPECT_THROW(StrToInt(text), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntTable, testing::ValuesIn(CONVERSION_CASES));

TEST(StrToInt, ErrorMessageQuotesTheTextAsGiven) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"abc", "'abc' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {" 5 ", "' 5 ' is not a valid integer value"},
        {"50%1", "'50%1' is not a valid integer value"},
        {"\xC5\xBA" "le", "'\xC5\xBA" "le' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            StrToInt(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(IntToStr, PlainDecimalThatConvertsBack) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {502, "502"},
        {-1, "-1"},
        {INT32_MAXIMUM, "2147483647"},
        {INT32_MINIMUM, "-2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntToStr(c.value), QString::fromUtf8(c.text));
        EXPECT_EQ(StrToInt(IntToStr(c.value)), c.value);
    }
}
} // namespace
