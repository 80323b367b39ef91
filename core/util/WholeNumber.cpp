#include "core/util/WholeNumber.h"

#include "core/util/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>

namespace fw {

WholeNumber ParseWholeNumber(std::string_view text) {
    std::string_view digits = Trim(text);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !IsAllDigits(digits))
        return {};
    // Negated after the conversion, so that INT_MIN is reached from its magnitude.
    std::uint64_t magnitude = 0;
    const auto error = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude).ec;
    const std::uint64_t limit = negative ? std::uint64_t{INT_MAX} + 1 : std::uint64_t{INT_MAX};
    if (error != std::errc{} || magnitude > limit)
        return {WholeNumberStatus::OutOfRange, 0};
    const auto signedValue =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return {WholeNumberStatus::Ok, static_cast<int>(signedValue)};
}

int StepWholeNumber(int value, int steps) {
    const std::int64_t moved = std::int64_t{value} + steps;
    return static_cast<int>(std::clamp<std::int64_t>(moved, INT_MIN, INT_MAX));
}

} // namespace fw
