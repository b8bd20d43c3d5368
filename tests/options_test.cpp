// The option scan and the reading of option values, as tables of what a
// user may type.
#include "tavlo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

struct scan_case {
    std::vector<std::string> arguments; // after the program name
    std::int32_t width;
    std::int32_t height;
};

void PrintTo(const scan_case& c, std::ostream* os)
{
    *os << "tavlo";
    for (const std::string& a : c.arguments) {
        *os << " '" << a << "'";
    }
}

class option_scan : public testing::TestWithParam<scan_case> {};

TEST_P(option_scan, yields_the_frame_size)
{
    const scan_case& c = GetParam();
    std::vector<const char*> argv{"tavlo"};
    for (const std::string& a : c.arguments) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);
    std::int32_t width = DEFAULT_WIDTH;
    std::int32_t height = DEFAULT_HEIGHT;
    parse_frame_options(static_cast<int>(argv.size() - 1), argv.data(), width, height);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    command_lines, option_scan,
    testing::Values(scan_case{{}, 640, 480}, scan_case{{"-w", "800", "-h", "600"}, 800, 600},
                    scan_case{{"-h", "272"}, 640, 272},
                    scan_case{{"-h", "272", "-w", "480"}, 480, 272},
                    scan_case{{"--verbose", "-h", "272"}, 640, 272},
                    scan_case{{"-width", "320"}, 320, 480},
                    scan_case{{"-hx", "100", "-wy", "200"}, 200, 100},
                    scan_case{{"-w", "320", "-w", "400"}, 400, 480}, scan_case{{"-h"}, 640, 480},
                    scan_case{{"-w", "800", "-h"}, 800, 480}, scan_case{{"800", "-w"}, 640, 480},
                    // Glued values: the first word takes the second as its value.
                    scan_case{{"-w640", "-h480"}, 0, 480},
                    // A width whose value is "-h": the value is then tested as an option.
                    scan_case{{"-w", "-h", "300"}, 0, 300},
                    // A height whose value is "-w" is not tested again.
                    scan_case{{"-h", "-w", "5"}, 640, 0}, scan_case{{"-h", "abc"}, 640, 0},
                    scan_case{{"x", "y", "-w", "12", "z"}, 12, 480},
                    scan_case{{"-W", "12", "h", "9"}, 640, 480},
                    scan_case{{"-w", "99999999999", "-h", "-99999999999"}, int32_max, int32_min}));

struct value_case {
    std::string text;
    std::int32_t value;
};

void PrintTo(const value_case& c, std::ostream* os)
{
    *os << "'" << c.text << "'";
}

class option_value : public testing::TestWithParam<value_case> {};

TEST_P(option_value, reads_like_atoi_but_saturates)
{
    EXPECT_EQ(read_option_value(GetParam().text.c_str()), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    texts, option_value,
    testing::Values(value_case{"42", 42}, value_case{"007", 7}, value_case{"  42", 42},
                    value_case{"\t\n\v\f\r 7", 7}, value_case{"+5", 5}, value_case{"-5", -5},
                    value_case{"12abc", 12}, value_case{"12 34", 12}, value_case{"0x10", 0},
                    value_case{"abc", 0}, value_case{"", 0}, value_case{"-", 0},
                    value_case{"+-5", 0}, value_case{"- 5", 0}, value_case{"--5", 0},
                    value_case{"2147483647", int32_max}, value_case{"2147483648", int32_max},
                    value_case{"-2147483648", int32_min}, value_case{"-2147483649", int32_min},
                    value_case{"000000000000002147483647", int32_max},
                    value_case{"99999999999999999999999999", int32_max},
                    value_case{"-99999999999999999999999999", int32_min}));

} // namespace
