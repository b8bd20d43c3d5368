// The run sequence: size line, blank request, device, then the frame row by
// row through one reused row buffer.
#include "display.hpp"
#include "pattern.hpp"
#include "tavlo.hpp"

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>

void print_frame_size(std::FILE* out, std::int32_t frame_width, std::int32_t frame_height)
{
    std::fprintf(out, "Framebuffer w = %" PRId32 " h = %" PRId32 "\n", frame_width, frame_height);
}

bool draw_frame(std::FILE* framebuffer, std::span<pixel16> row, std::int32_t frame_height)
{
    fill_border_row(row);
    if (!write_row(framebuffer, row)) {
        return false;
    }
    if (frame_height >= 3) {
        const std::int32_t band_height = band_height_for(frame_height);
        const std::int32_t last_body_row = frame_height - 2;
        // The rows of a band are alike: fill the row anew only when the
        // band changes (no band is numbered -1).
        std::int32_t filled_band = -1;
        for (std::int32_t r = 1; r <= last_body_row; ++r) {
            const std::int32_t band = band_index_of_row(r, band_height);
            if (band != filled_band) {
                fill_band_row(row, band_pixel(band));
                filled_band = band;
            }
            if (!write_row(framebuffer, row)) {
                return false;
            }
        }
    }
    fill_border_row(row);
    return write_row(framebuffer, row);
}

int run_tavlo(int argc, const char* const* argv, const char* blank_attribute,
              const char* framebuffer_device)
{
    std::int32_t frame_width = DEFAULT_WIDTH;
    std::int32_t frame_height = DEFAULT_HEIGHT;
    parse_frame_options(argc, argv, frame_width, frame_height);

    print_frame_size(stdout, frame_width, frame_height);
    if (frame_width < 1) {
        std::fprintf(stderr,
                     "tavlo: invalid frame width %" PRId32 ": it must be at least 1 pixel\n",
                     frame_width);
        return STATUS_FAILED;
    }

    blank_display(blank_attribute);

    std::printf("opening %s\n", framebuffer_device);
    std::FILE* framebuffer = open_framebuffer(framebuffer_device);
    if (framebuffer == nullptr) {
        return STATUS_NO_DEVICE;
    }

    // No object may span more than PTRDIFF_MAX bytes; on a 32-bit board a
    // row of 2^31 - 1 pixels (4 GiB) would.
    const auto width = static_cast<std::size_t>(frame_width);
    constexpr auto largest_object =
        static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max());
    pixel16* row_buffer = nullptr;
    if (width <= largest_object / sizeof(pixel16)) {
        row_buffer = static_cast<pixel16*>(std::malloc(width * sizeof(pixel16)));
    }
    if (row_buffer == nullptr) {
        std::fprintf(stderr, "tavlo: cannot allocate a row of %" PRId32 " pixels\n", frame_width);
        close_framebuffer(framebuffer);
        return STATUS_FAILED;
    }

    const bool drawn = draw_frame(framebuffer, {row_buffer, width}, frame_height);
    if (!drawn) {
        // Report before closing, which may fail again and change errno.
        std::perror(framebuffer_device);
    }
    std::free(row_buffer);
    const bool closed = close_framebuffer(framebuffer);
    if (!drawn) {
        return STATUS_FAILED;
    }
    if (!closed) {
        std::perror(framebuffer_device);
        return STATUS_FAILED;
    }
    return STATUS_DRAWN;
}
