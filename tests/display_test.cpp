// The byte layout of the pixel stream and the blank request, on scratch
// files; the same bytes on hosts of either byte order.
#include "display.hpp"
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> stream_bytes(std::FILE* stream)
{
    std::fflush(stream);
    std::rewind(stream);
    std::vector<unsigned char> bytes;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    return bytes;
}

struct word_case {
    pixel16 value;
    unsigned char low;
    unsigned char high;
};

class pixel_word : public testing::TestWithParam<word_case> {};

TEST_P(pixel_word, is_stored_least_significant_byte_first)
{
    const word_case& c = GetParam();
    std::array<unsigned char, 2> out{};
    write16le(out.data(), c.value);
    EXPECT_EQ(out, (std::array<unsigned char, 2>{c.low, c.high}));

    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    const std::array<pixel16, 1> row{c.value};
    EXPECT_TRUE(write_row(stream, row));
    EXPECT_EQ(stream_bytes(stream), (std::vector<unsigned char>{c.low, c.high}));
    std::fclose(stream);
}

INSTANTIATE_TEST_SUITE_P(words, pixel_word,
                         testing::Values(word_case{0xFFFF, 0xFF, 0xFF},
                                         word_case{0x0001, 0x01, 0x00},
                                         word_case{0x8000, 0x00, 0x80},
                                         word_case{0x1234, 0x34, 0x12}));

TEST(write_row, writes_long_rows_whole_and_in_order)
{
    // Longer than any staging chunk, with a value that shows each position.
    std::vector<pixel16> row(1500);
    for (std::size_t i = 0; i < row.size(); ++i) {
        row[i] = static_cast<pixel16>(i * 0x0101U + 1);
    }
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(write_row(stream, row));
    const std::vector<unsigned char> bytes = stream_bytes(stream);
    ASSERT_EQ(bytes.size(), 3000U);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const auto value = static_cast<unsigned>(row[i]);
        ASSERT_EQ(bytes[2 * i], value & 0xFFU) << "pixel " << i;
        ASSERT_EQ(bytes[2 * i + 1], (value >> 8U) & 0xFFU) << "pixel " << i;
    }
    std::fclose(stream);
}

TEST(write_row, reports_a_device_that_takes_nothing)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    std::setvbuf(full, nullptr, _IONBF, 0);
    const std::vector<pixel16> row(64, BORDER_PIXEL);
    EXPECT_FALSE(write_row(full, row));
    std::fclose(full);
}

TEST(close_framebuffer, reports_bytes_that_never_reached_the_device)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    const std::vector<pixel16> row(16, BORDER_PIXEL);
    ASSERT_TRUE(write_row(full, row)); // still in the stream's buffer
    EXPECT_FALSE(close_framebuffer(full));
}

class scratch_dir : public testing::Test {
  protected:
    void SetUp() override
    {
        dir = test_support::make_scratch_dir("tavlo-display");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
};

TEST_F(scratch_dir, blank_request_is_level_one)
{
    const std::filesystem::path attribute = dir / "blank";
    std::ofstream{attribute} << "0\n";
    blank_display(attribute.c_str());
    EXPECT_EQ(test_support::read_file(attribute), "1\n");
}

TEST_F(scratch_dir, missing_blank_attribute_is_passed_over)
{
    const std::filesystem::path attribute = dir / "graphics" / "fb0" / "blank";
    blank_display(attribute.c_str());
    EXPECT_FALSE(std::filesystem::exists(attribute));
}

TEST_F(scratch_dir, framebuffer_that_cannot_be_opened_gives_no_stream)
{
    const std::filesystem::path device = dir / "missing" / "fb";
    testing::internal::CaptureStderr();
    EXPECT_EQ(open_framebuffer(device.c_str()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              device.string() + ": No such file or directory\n");
}

} // namespace
