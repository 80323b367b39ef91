#include "core/util/WholeNumber.h"

#include <gtest/gtest.h>

#include <climits>

namespace fw {
namespace {

TEST(WholeNumberTest, TakesWhatAFieldHoldsAndRefusesTheRest) {
    const struct {
        const char* text;
        WholeNumberStatus status;
        int value;
    } cases[] = {
        {"20", WholeNumberStatus::Ok, 20},
        {"  -7 ", WholeNumberStatus::Ok, -7},
        {"+3", WholeNumberStatus::Ok, 3},
        {"007", WholeNumberStatus::Ok, 7},
        {"2147483647", WholeNumberStatus::Ok, INT_MAX},
        {"-2147483648", WholeNumberStatus::Ok, INT_MIN},
        {"2147483648", WholeNumberStatus::OutOfRange, 0},
        {"-2147483649", WholeNumberStatus::OutOfRange, 0},
        {"99999999999999999999999", WholeNumberStatus::OutOfRange, 0},
        {"", WholeNumberStatus::NotANumber, 0},
        {"  ", WholeNumberStatus::NotANumber, 0},
        {"-", WholeNumberStatus::NotANumber, 0},
        {"12.5", WholeNumberStatus::NotANumber, 0},
        {"12abc", WholeNumberStatus::NotANumber, 0},
        {"1 2", WholeNumberStatus::NotANumber, 0},
        {"--1", WholeNumberStatus::NotANumber, 0},
        {"0x10", WholeNumberStatus::NotANumber, 0},
    };
    for (const auto& c : cases) {
        const WholeNumber parsed = ParseWholeNumber(c.text);
        EXPECT_EQ(parsed.status, c.status) << '"' << c.text << '"';
        EXPECT_EQ(parsed.value, c.value) << '"' << c.text << '"';
    }
}

TEST(WholeNumberTest, StepsStopAtTheEndsOfTheRange) {
    EXPECT_EQ(StepWholeNumber(20, 1), 21);
    EXPECT_EQ(StepWholeNumber(0, -10), -10);
    EXPECT_EQ(StepWholeNumber(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(StepWholeNumber(INT_MIN, -10), INT_MIN);
}

} // namespace
} // namespace fw
