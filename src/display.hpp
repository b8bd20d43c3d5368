// The display as the kernel offers it: the blank attribute of the LCD
// controller's framebuffer in sysfs, and the framebuffer device node that
// takes the raw pixel stream.
#pragma once

#include "pattern.hpp"

#include <cstddef>
#include <cstdio>
#include <span>

// The framebuffer device node: receives the whole frame from offset 0.
inline constexpr const char* FRAMEBUFFER_DEVICE = "/dev/fb";

// Blank attribute of framebuffer 0 of the LCD controller platform device.
inline constexpr const char* BLANK_ATTRIBUTE =
    "/sys/devices/platform/da8xx_lcdc.0/graphics/fb0/blank";

// Stores `value` at `out` least significant byte first, whatever the host's
// own byte order.
void write16le(unsigned char* out, pixel16 value);

// Bytes the framebuffer stream gathers before each write to the device.
inline constexpr std::size_t FRAMEBUFFER_BUFFER_BYTES = 128 * 1024;

// Writes blanking level 1 ("1\n") to the attribute. An attribute that cannot
// be opened, and a request the driver rejects, are silently passed over:
// boards without this controller have no such attribute.
void blank_display(const char* attribute_path);

// Opens the device for writing from its first byte, buffered in
// FRAMEBUFFER_BUFFER_BYTES. On failure reports the system error on standard
// error, prefixed with the path, and returns null.
std::FILE* open_framebuffer(const char* device_path);

// Hands one row to the stream, two bytes a pixel, least significant byte
// first. False when the stream did not take the whole row.
bool write_row(std::FILE* stream, std::span<const pixel16> row);

// Flushes and closes the stream. False when the last bytes did not reach the
// device; the stream is closed either way.
bool close_framebuffer(std::FILE* stream);
