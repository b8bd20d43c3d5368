// tavlo on the emulated board: the screen that the LCD controller scans out
// of a real kernel framebuffer, checked pixel by pixel against the pattern
// as an RGB565 panel shows it.
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace test_support;

struct board_run {
    int status = -1;
    std::string out;
    std::string err; // without the board script's own notes
    int screen_width = 0;
    int screen_height = 0;
    std::vector<unsigned char> rgb; // three bytes a pixel, rows top to bottom
};

// Reads a binary PPM (P6, maxval 255).
bool read_ppm(const fs::path& path, board_run& run)
{
    std::ifstream in{path, std::ios::binary};
    std::string magic;
    int maxval = 0;
    in >> magic >> run.screen_width >> run.screen_height >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255) {
        return false;
    }
    run.rgb.resize(static_cast<std::size_t>(run.screen_width * run.screen_height * 3));
    in.read(reinterpret_cast<char*>(run.rgb.data()), static_cast<std::streamsize>(run.rgb.size()));
    return static_cast<bool>(in);
}

board_run run_on_board(const std::string& panel, const std::vector<std::string>& arguments)
{
    board_run run;
    const fs::path scratch = make_scratch_dir("tavlo-board");
    if (scratch.empty()) {
        ADD_FAILURE() << "no scratch folder";
        return run;
    }
    const std::string screen = (scratch / "screen.ppm").string();
    std::vector<std::string> words{EMULATED_BOARD, "--panel", panel, "--screen", screen, "--"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const std::string out = (scratch / "stdout").string();
    const std::string err = (scratch / "stderr").string();
    run.status = run_program(words, out, err);
    if (run.status < 0) {
        ADD_FAILURE() << "cannot run " << EMULATED_BOARD;
        fs::remove_all(scratch);
        return run;
    }
    run.out = read_file(out).value_or("");
    std::istringstream lines{read_file(err).value_or("")};
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("emulated-board: screen saved")) {
            run.err += line + "\n";
        }
    }
    EXPECT_NE(run.status, 125) << "the board failed:\n" << run.err;
    EXPECT_TRUE(read_ppm(screen, run)) << "no screen saved";
    fs::remove_all(scratch);
    return run;
}

struct screen_case {
    const char* name;
    int panel_width;
    int panel_height;
    std::vector<std::string> arguments;
    std::int64_t frame_width;
    std::int64_t frame_height;
    int status;
    std::string err;
};

void PrintTo(const screen_case& c, std::ostream* os)
{
    *os << c.name;
}

class board : public testing::TestWithParam<screen_case> {};

TEST_P(board, shows_the_pattern_on_every_pixel)
{
    const screen_case& c = GetParam();
    const board_run run = run_on_board(
        std::to_string(c.panel_width) + "x" + std::to_string(c.panel_height), c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "Framebuffer w = " + std::to_string(c.frame_width) +
                           " h = " + std::to_string(c.frame_height) + "\nopening /dev/fb\n");
    EXPECT_EQ(run.err, c.err);
    ASSERT_EQ(run.screen_width, c.panel_width);
    ASSERT_EQ(run.screen_height, c.panel_height);

    // The stream lies in the framebuffer at the panel's own line length, as
    // far as the framebuffer memory reaches; the rest stays black.
    const std::vector<unsigned> rows = reference_row_values(c.frame_height);
    const auto frame_pixels = static_cast<std::int64_t>(rows.size()) * c.frame_width;
    const std::int64_t panel_pixels = std::int64_t{c.panel_width} * c.panel_height;
    std::int64_t wrong = 0;
    std::ostringstream first_wrong;
    for (std::int64_t i = 0; i < panel_pixels; ++i) {
        unsigned value = 0;
        if (i < frame_pixels) {
            const std::int64_t x = i % c.frame_width;
            const std::int64_t y = i / c.frame_width;
            const bool side = x == 0 || x == c.frame_width - 1;
            value = side ? 0xFFFFU : rows[static_cast<std::size_t>(y)];
        }
        // RGB565, each channel widened by a left shift.
        const unsigned char expected[3] = {static_cast<unsigned char>((value >> 11U) << 3U),
                                           static_cast<unsigned char>(((value >> 5U) & 63U) << 2U),
                                           static_cast<unsigned char>((value & 31U) << 3U)};
        const unsigned char* shown = &run.rgb[static_cast<std::size_t>(i * 3)];
        if (!std::equal(expected, expected + 3, shown)) {
            if (wrong++ < 5) {
                first_wrong << " (" << i % c.panel_width << "," << i / c.panel_width
                            << "): " << int{shown[0]} << "/" << int{shown[1]} << "/"
                            << int{shown[2]} << " for 0x" << std::hex << value << std::dec;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first wrong pixels:" << first_wrong.str();
}

INSTANTIATE_TEST_SUITE_P(
    panels, board,
    testing::Values(
        // The default run: also shows that the missing blank attribute of
        // this board is passed over in silence.
        screen_case{"vga", 640, 480, {}, 640, 480, 0, ""},
        screen_case{"wqvga", 480, 272, {"-w", "480", "-h", "272"}, 480, 272, 0, ""},
        screen_case{"svga_black_rows", 800, 600, {"-w", "800", "-h", "600"}, 800, 600, 0, ""},
        screen_case{"small_frame", 640, 480, {"-h", "20"}, 640, 20, 0, ""},
        // A frame of another size lies at the panel's line length: slanted.
        screen_case{"mismatched", 640, 480, {"-w", "480", "-h", "272"}, 480, 272, 0, ""},
        // One row more than the framebuffer holds: the kernel refuses it.
        screen_case{"oversize",
                    640,
                    480,
                    {"-w", "640", "-h", "481"},
                    640,
                    481,
                    1,
                    "/dev/fb: No space left on device\n"}));

} // namespace
