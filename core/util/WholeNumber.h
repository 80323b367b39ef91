#pragma once

#include <string_view>

namespace fw {

enum class WholeNumberStatus { Ok, NotANumber, OutOfRange };

struct WholeNumber {
    WholeNumberStatus status = WholeNumberStatus::NotANumber;
    int value = 0; // set when status is Ok
};

// A whole number as a user types it into a field: blanks around it, an optional sign and
// decimal digits, nothing else. Numbers beyond int are refused, never clamped.
WholeNumber ParseWholeNumber(std::string_view text);

// value moved by steps, held at the ends of int's range.
int StepWholeNumber(int value, int steps);

} // namespace fw
