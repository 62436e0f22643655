#include "db/SettingValue.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

struct DateCase {
    const char* text;
    bool valid;
};

class SettingDateText : public testing::TestWithParam<DateCase> {};

TEST_P(SettingDateText, OnlyRealCalendarDatesInTheStoredFormAreRead) {
    const auto& [text, valid] = GetParam();
    const auto date = parseSettingDate(text);
    ASSERT_EQ(date.has_value(), valid) << text;
    if (valid) {
        EXPECT_EQ(formatSettingDate(*date), text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates, SettingDateText,
    testing::Values(DateCase{"2024-02-29 23:59:59", true}, DateCase{"0001-01-01 00:00:00", true},
                    DateCase{"9999-12-31 23:59:59", true}, DateCase{"2023-02-29 12:00:00", false},
                    DateCase{"2024-13-01 00:00:00", false}, DateCase{"2024-04-31 00:00:00", false},
                    DateCase{"2024-01-01 24:00:00", false}, DateCase{"2024-01-01 23:60:00", false},
                    DateCase{"0000-01-01 00:00:00", false}, DateCase{"2024-1-01 00:00:00", false},
                    DateCase{"2024-01-01T00:00:00", false}, DateCase{"2024-01-01 00:00:00 ", false},
                    DateCase{"2024-01-01", false}, DateCase{"", false}));

TEST(SettingDateText, DatesOutsideFourDigitYearsCannotBeStored) {
    using namespace std::chrono;
    const SettingDate tooLate = local_days{year{10000} / January / 1};
    EXPECT_THROW(formatSettingDate(tooLate), Error);
    EXPECT_THROW(makeSettingDate(2023, 2, 29), Error);
    EXPECT_EQ(formatSettingDate(makeSettingDate(2026, 12, 6, 7, 8, 9)), "2026-12-06 07:08:09");
}

struct InputCase {
    SettingType type;
    const char* text;
    std::optional<SettingValue> expected; // nothing: refused with `error`
    int error = 0;
};

class SettingInput : public testing::TestWithParam<InputCase> {};

TEST_P(SettingInput, IsReadAsItsTypeOrRefusedWithTheSettingsErrorNumber) {
    const auto& [type, text, expected, error] = GetParam();
    if (expected) {
        const SettingValue value = parseSettingValue(type, text);
        EXPECT_EQ(value, *expected) << text;
        EXPECT_EQ(typeOf(value), type);
        return;
    }
    try {
        parseSettingValue(type, text);
        ADD_FAILURE() << text << " was accepted";
    } catch (const Error& refused) {
        EXPECT_EQ(refused.number(), error) << text << ": " << refused.what();
    }
}

constexpr int overflow = runtimeErrors::overflow;
constexpr int typeMismatch = runtimeErrors::typeMismatch;

INSTANTIATE_TEST_SUITE_P(
    Inputs, SettingInput,
    testing::Values(
        InputCase{SettingType::String, "0042", SettingValue{std::string("0042")}},
        InputCase{SettingType::String, "", SettingValue{std::string()}},
        InputCase{SettingType::Int32, " 42 ", SettingValue{std::int32_t{42}}},
        InputCase{SettingType::Int32, "2147483647", SettingValue{std::int32_t{2147483647}}},
        InputCase{SettingType::Int32, "-2147483648", SettingValue{std::int32_t{-2147483647 - 1}}},
        InputCase{SettingType::Int32, "2147483648", std::nullopt, overflow},
        InputCase{SettingType::Int32, "-2147483649", std::nullopt, overflow},
        InputCase{SettingType::Int32, "4x", std::nullopt, typeMismatch},
        InputCase{SettingType::Int32, "", std::nullopt, typeMismatch},
        InputCase{SettingType::Int32, "+-1", std::nullopt, typeMismatch},
        InputCase{SettingType::Int16, "32767", SettingValue{std::int16_t{32767}}},
        InputCase{SettingType::Int16, "-32768", SettingValue{std::int16_t{-32768}}},
        InputCase{SettingType::Int16, "+1", SettingValue{std::int16_t{1}}},
        InputCase{SettingType::Int16, "32768", std::nullopt, overflow},
        InputCase{SettingType::Int16, "-32769", std::nullopt, overflow},
        InputCase{SettingType::Int16, "1.0", std::nullopt, typeMismatch},
        InputCase{SettingType::Date, "2024-02-29 08:00:00",
                  SettingValue{makeSettingDate(2024, 2, 29, 8)}},
        InputCase{SettingType::Date, "29.02.2024", std::nullopt, typeMismatch}));

TEST(SettingNumber, FitsOnlyAWholeNumberTypeWideEnoughForIt) {
    const struct {
        SettingType type;
        std::int64_t number;
        std::optional<SettingValue> expected;
    } cases[] = {
        {SettingType::Int16, -32768, SettingValue{std::int16_t{-32768}}},
        {SettingType::Int16, 65535, std::nullopt}, // not taken as a negative 16-bit number
        {SettingType::Int32, 2147483647, SettingValue{std::int32_t{2147483647}}},
        {SettingType::Int32, std::int64_t{1} << 32, std::nullopt},
        {SettingType::String, 1, std::nullopt},
        {SettingType::Date, 1, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(integerSettingValue(c.type, c.number), c.expected)
            << settingTypeName(c.type) << " " << c.number;
    }
}

TEST(SettingValueText, NumbersAndDatesReadLikeAVariant) {
    EXPECT_EQ(settingText(std::int16_t{-3}), "-3");
    EXPECT_EQ(settingText(makeSettingDate(2001, 2, 3)), "2001-02-03 00:00:00");
    EXPECT_EQ(settingNumber(std::string(" 1 ")), 1);
    EXPECT_EQ(settingNumber(std::int16_t{1}), 1);
    EXPECT_EQ(settingNumber(std::string("one")), std::nullopt);
    EXPECT_EQ(settingNumber(makeSettingDate(2001, 2, 3)), std::nullopt);
    EXPECT_EQ(parseSettingTypeName("INT16"), SettingType::Int16);
    EXPECT_EQ(parseSettingTypeName("double"), std::nullopt);
}

} // namespace
} // namespace korvana
