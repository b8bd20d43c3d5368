// The command front end: the frame size from the command line, and the exit
// statuses of a run.
#pragma once

#include "pattern.hpp"

#include <cstdint>
#include <cstdio>
#include <span>

inline constexpr std::int32_t DEFAULT_WIDTH = 640;
inline constexpr std::int32_t DEFAULT_HEIGHT = 480;

// Exit statuses, the complete list.
inline constexpr int STATUS_DRAWN = 0;     // the whole frame reached the device
inline constexpr int STATUS_FAILED = 1;    // refused size, no row buffer, or a write failed
inline constexpr int STATUS_NO_DEVICE = 2; // the framebuffer device could not be opened

// Scans the arguments for "-w" and "-h", each followed by its value, and
// updates the size in place. An argument matches when it begins with the two
// characters; the value is the next argument, whatever it is. Everything
// else is skipped, and the last of repeated options wins. Never fails.
void parse_frame_options(int argc, const char* const* argv, std::int32_t& frame_width,
                         std::int32_t& frame_height);

// Reads an option value the way atoi does (leading white space, an optional
// sign, then decimal digits up to the first other character; no digits read
// as 0), except that a value beyond the 32-bit range saturates to
// INT32_MIN or INT32_MAX instead of being undefined.
std::int32_t read_option_value(const char* text);

// Prints the size line, "Framebuffer w = W h = H".
void print_frame_size(std::FILE* out, std::int32_t frame_width, std::int32_t frame_height);

// Writes the frame row by row through `row` (frame_width pixels): the top
// border, the body rows in their bands, the bottom border; two border rows
// when the height is below 3. Stops at the first row the stream does not
// take and returns false.
bool draw_frame(std::FILE* framebuffer, std::span<pixel16> row, std::int32_t frame_height);

// One whole run: reads the size from the arguments, prints the two progress
// lines, requests blanking, opens the device and draws the frame. Returns
// the exit status. The shipped program passes BLANK_ATTRIBUTE and
// FRAMEBUFFER_DEVICE.
int run_tavlo(int argc, const char* const* argv, const char* blank_attribute,
              const char* framebuffer_device);
