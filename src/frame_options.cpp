#include "tavlo.hpp"

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

// White space as the C locale's isspace has it.
bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::int32_t read_option_value(const char* text)
{
    std::string_view rest{text};
    while (!rest.empty() && is_space(rest.front())) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // Accumulate the magnitude, stopping once it has passed every int32.
    constexpr std::int64_t past_range = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (!rest.empty() && is_digit(rest.front())) {
        magnitude = std::min(magnitude * 10 + (rest.front() - '0'), past_range);
        rest.remove_prefix(1);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void parse_frame_options(int argc, const char* const* argv, std::int32_t& frame_width,
                         std::int32_t& frame_height)
{
    const auto is_option = [](const char* argument, std::string_view option) {
        return std::string_view{argument}.starts_with(option);
    };
    // A pass never starts on the last argument, which could have no value.
    for (int i = 1; i < argc - 1; ++i) {
        if (is_option(argv[i], "-w")) {
            frame_width = read_option_value(argv[i + 1]);
            ++i;
        }
        // Tested as it now stands: after a width, this is the width's value.
        if (i + 1 < argc && is_option(argv[i], "-h")) {
            frame_height = read_option_value(argv[i + 1]);
            ++i;
        }
    }
}
