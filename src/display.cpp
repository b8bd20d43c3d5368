#include "display.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>

void write16le(unsigned char* out, pixel16 value)
{
    out[0] = static_cast<unsigned char>(value & 0xFFU);
    out[1] = static_cast<unsigned char>(value >> 8U);
}

void blank_display(const char* attribute_path)
{
    std::FILE* attribute = std::fopen(attribute_path, "w");
    if (attribute == nullptr) {
        return;
    }
    std::fwrite("1\n", 2, 1, attribute);
    std::fclose(attribute);
}

std::FILE* open_framebuffer(const char* device_path)
{
    std::FILE* stream = std::fopen(device_path, "w");
    if (stream == nullptr) {
        std::perror(device_path);
        return nullptr;
    }
    // The stream's own buffer would be one page: hand the device fewer,
    // larger writes. One stream is open at a time, so one buffer serves.
    static std::array<char, FRAMEBUFFER_BUFFER_BYTES> buffer;
    std::setvbuf(stream, buffer.data(), _IOFBF, buffer.size());
    return stream;
}

bool write_row(std::FILE* stream, std::span<const pixel16> row)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The words already lie in memory in the stream's byte order.
        return std::fwrite(row.data(), sizeof(pixel16), row.size(), stream) == row.size();
    } else {
        // Reorder the bytes through a small staging area, a chunk at a time.
        std::array<unsigned char, 1024> bytes{};
        constexpr std::size_t chunk_pixels = bytes.size() / sizeof(pixel16);
        while (!row.empty()) {
            const std::size_t count = std::min(row.size(), chunk_pixels);
            for (std::size_t i = 0; i < count; ++i) {
                write16le(&bytes[i * sizeof(pixel16)], row[i]);
            }
            if (std::fwrite(bytes.data(), sizeof(pixel16), count, stream) != count) {
                return false;
            }
            row = row.subspan(count);
        }
        return true;
    }
}

bool close_framebuffer(std::FILE* stream)
{
    return std::fclose(stream) == 0;
}
