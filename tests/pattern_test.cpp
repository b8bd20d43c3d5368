// The pattern against the frame layout's own tables: which value every body
// row carries for the common panel sizes and the odd ones.
#include "pattern.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

struct band_rows {
    std::int32_t frame_height;
    std::int32_t first_row;
    std::int32_t last_row;
    pixel16 value;
};

void PrintTo(const band_rows& c, std::ostream* os)
{
    *os << "H=" << c.frame_height << " rows " << c.first_row << "-" << c.last_row;
}

class body_rows : public testing::TestWithParam<band_rows> {};

TEST_P(body_rows, carry_the_band_value)
{
    const band_rows& c = GetParam();
    const std::int32_t band_height = band_height_for(c.frame_height);
    for (std::int32_t row = c.first_row; row <= c.last_row; ++row) {
        ASSERT_EQ(band_pixel(band_index_of_row(row, band_height)), c.value) << "row " << row;
    }
}

// 640 x 480: thirty rows a band from row 1; the last band is two rows short.
INSTANTIATE_TEST_SUITE_P(
    vga, body_rows,
    testing::Values(band_rows{480, 1, 30, 0x0001}, band_rows{480, 31, 60, 0x0002},
                    band_rows{480, 61, 90, 0x0004}, band_rows{480, 91, 120, 0x0008},
                    band_rows{480, 121, 150, 0x0010}, band_rows{480, 151, 180, 0x0020},
                    band_rows{480, 181, 210, 0x0040}, band_rows{480, 211, 240, 0x0080},
                    band_rows{480, 241, 270, 0x0100}, band_rows{480, 271, 300, 0x0200},
                    band_rows{480, 301, 330, 0x0400}, band_rows{480, 331, 360, 0x0800},
                    band_rows{480, 361, 390, 0x1000}, band_rows{480, 391, 420, 0x2000},
                    band_rows{480, 421, 450, 0x4000}, band_rows{480, 451, 478, 0x8000}));

INSTANTIATE_TEST_SUITE_P(
    other_sizes, body_rows,
    testing::Values(
        // 480 x 272: seventeen rows a band, the last one fifteen, no black rows.
        band_rows{272, 1, 17, 0x0001}, band_rows{272, 18, 34, 0x0002},
        band_rows{272, 239, 255, 0x4000}, band_rows{272, 256, 270, 0x8000},
        // 800 x 600: 37 rows a band, then six black rows above the border.
        band_rows{600, 1, 37, 0x0001}, band_rows{600, 556, 592, 0x8000},
        band_rows{600, 593, 598, 0x0000},
        // 481 rows: the last band is one row short.
        band_rows{481, 421, 450, 0x4000}, band_rows{481, 451, 479, 0x8000},
        // 20 rows: one row a band, two black rows.
        band_rows{20, 1, 1, 0x0001}, band_rows{20, 2, 2, 0x0002}, band_rows{20, 9, 9, 0x0100},
        band_rows{20, 16, 16, 0x8000}, band_rows{20, 17, 18, 0x0000},
        // 31 rows: band index 28 on the last body row, still black.
        band_rows{31, 17, 29, 0x0000},
        // 3 to 15 rows: one row a band rather than a division by zero.
        band_rows{3, 1, 1, 0x0001}, band_rows{4, 2, 2, 0x0002}, band_rows{15, 13, 13, 0x1000},
        // The tallest frame: bands of 134217727 rows.
        band_rows{int32_max, 1, 1, 0x0001}, band_rows{int32_max, 134217727, 134217727, 0x0001},
        band_rows{int32_max, 134217728, 134217728, 0x0002},
        band_rows{int32_max, 2013265905, 2013265905, 0x4000},
        band_rows{int32_max, 2013265906, 2013265906, 0x8000},
        band_rows{int32_max, 2147483632, 2147483632, 0x8000},
        band_rows{int32_max, 2147483633, 2147483645, 0x0000}));

struct height_case {
    std::int32_t frame_height;
    std::int32_t band_height;
};

class band_height : public testing::TestWithParam<height_case> {};

TEST_P(band_height, is_a_sixteenth_of_the_frame_and_never_zero)
{
    EXPECT_EQ(band_height_for(GetParam().frame_height), GetParam().band_height);
}

INSTANTIATE_TEST_SUITE_P(heights, band_height,
                         testing::Values(height_case{480, 30}, height_case{272, 17},
                                         height_case{600, 37}, height_case{481, 30},
                                         height_case{32, 2}, height_case{31, 1}, height_case{16, 1},
                                         height_case{15, 1}, height_case{3, 1}, height_case{0, 1},
                                         height_case{-480, 1}, height_case{int32_min, 1},
                                         height_case{int32_max, 134217727}));

TEST(band_pixel, lights_one_bit_per_band_and_none_beyond)
{
    EXPECT_EQ(band_pixel(0), 0x0001);
    EXPECT_EQ(band_pixel(5), 0x0020);
    EXPECT_EQ(band_pixel(15), 0x8000);
    EXPECT_EQ(band_pixel(16), 0x0000);
    EXPECT_EQ(band_pixel(31), 0x0000);
    EXPECT_EQ(band_pixel(int32_max), 0x0000);
}

struct row_case {
    std::size_t width;
    std::vector<pixel16> band_row; // filled with the value 0x0010
};

class rows : public testing::TestWithParam<row_case> {};

TEST_P(rows, have_white_ends)
{
    const row_case& c = GetParam();
    std::vector<pixel16> row(c.width, 0x5A5A);
    fill_band_row(row, 0x0010);
    EXPECT_EQ(row, c.band_row);
    fill_border_row(row);
    EXPECT_EQ(row, std::vector<pixel16>(c.width, 0xFFFF));
}

INSTANTIATE_TEST_SUITE_P(widths, rows,
                         testing::Values(row_case{1, {0xFFFF}}, row_case{2, {0xFFFF, 0xFFFF}},
                                         row_case{3, {0xFFFF, 0x0010, 0xFFFF}},
                                         row_case{
                                             6, {0xFFFF, 0x0010, 0x0010, 0x0010, 0x0010, 0xFFFF}}));

} // namespace
