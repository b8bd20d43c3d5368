// The bit-band test pattern: a one-pixel white border round the frame and,
// inside it, sixteen horizontal bands, band b lighting bit b of the pixel
// word alone. Pure computation on one row at a time; no input or output.
#pragma once

#include <cstdint>
#include <span>

// One pixel as the panel's 16-bit data bus carries it.
using pixel16 = std::uint16_t;

// Every bit set: white on an RGB565 panel.
inline constexpr pixel16 BORDER_PIXEL = 0xFFFF;

// Bits in a pixel word, and so the number of bands.
inline constexpr int BITS_PER_PIXEL = 16;

// Rows in each band: frame_height / 16, rounded down, but never below 1, so
// that frames of 3 to 15 rows get one row per band instead of a zero divisor.
std::int32_t band_height_for(std::int32_t frame_height);

// Band of body row `row` (1 <= row <= frame_height - 2): the first band
// starts on row 1, right below the top border.
std::int32_t band_index_of_row(std::int32_t row, std::int32_t band_height);

// Value of band `band`: bit `band` alone for bands 0 to 15, black beyond.
pixel16 band_pixel(std::int32_t band);

// A top or bottom border row: white all the way.
void fill_border_row(std::span<pixel16> row);

// A body row: white ends and `value` between them. A row of one or two
// pixels is all border.
void fill_band_row(std::span<pixel16> row, pixel16 value);
