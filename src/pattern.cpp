#include "pattern.hpp"

#include <algorithm>

std::int32_t band_height_for(std::int32_t frame_height)
{
    return std::max(frame_height / BITS_PER_PIXEL, std::int32_t{1});
}

std::int32_t band_index_of_row(std::int32_t row, std::int32_t band_height)
{
    return (row - 1) / band_height;
}

pixel16 band_pixel(std::int32_t band)
{
    if (band < 0 || band >= BITS_PER_PIXEL) {
        return 0;
    }
    return static_cast<pixel16>(1U << band);
}

void fill_border_row(std::span<pixel16> row)
{
    std::fill(row.begin(), row.end(), BORDER_PIXEL);
}

void fill_band_row(std::span<pixel16> row, pixel16 value)
{
    if (row.empty()) {
        return;
    }
    row.front() = BORDER_PIXEL;
    if (row.size() > 2) {
        std::fill(row.begin() + 1, row.end() - 1, value);
    }
    row.back() = BORDER_PIXEL;
}
