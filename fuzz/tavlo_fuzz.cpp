// Fuzz target: the input is a command line, its arguments separated by NUL
// bytes. Checks the option scan and the size line against a reference scan
// written here, the frame stream byte by byte against a reference of the
// pattern written here, and, for frames small enough, the whole run against
// scratch files.
#include "display.hpp"
#include "tavlo.hpp"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int64_t int32_lowest = -2147483648LL;
constexpr std::int64_t int32_highest = 2147483647LL;

// Limits that keep one input to a few milliseconds.
constexpr std::int64_t widest_checked_row = 1 << 16;
constexpr std::uint64_t stream_bytes_checked = 1 << 20;
constexpr std::uint64_t largest_scratch_frame = 256 * 1024;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "tavlo_fuzz: %s\n", what);
    std::abort();
}

// ---- The reference: option scan ----------------------------------------

std::int32_t reference_value(const std::string& text)
{
    // strtoll reads the same forms as atoi and saturates at its own range.
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(value, int32_lowest, int32_highest));
}

void reference_scan(const std::vector<std::string>& args, std::int32_t& width, std::int32_t& height)
{
    std::size_t i = 1;
    while (i + 1 < args.size()) {
        if (args[i].compare(0, 2, "-w") == 0) {
            width = reference_value(args[++i]);
        }
        if (i + 1 < args.size() && args[i].compare(0, 2, "-h") == 0) {
            height = reference_value(args[++i]);
        }
        ++i;
    }
}

// ---- The reference: the frame ------------------------------------------

struct frame_shape {
    std::int64_t width;
    std::int64_t height;
    std::int64_t rows;
};

// Value of pixel (x, y), by searching the band ranges: band b covers body
// rows b * band_height + 1 to (b + 1) * band_height.
unsigned reference_pixel(const frame_shape& f, std::int64_t x, std::int64_t y)
{
    if (y == 0 || y == f.rows - 1 || x == 0 || x == f.width - 1) {
        return 0xFFFF;
    }
    const std::int64_t band_height = f.height >= 16 ? f.height / 16 : 1;
    for (unsigned b = 0; b < 16; ++b) {
        if (y >= b * band_height + 1 && y <= (b + 1) * band_height) {
            return 1U << b;
        }
    }
    return 0;
}

// A stream that checks every byte written to it and refuses what lies past
// the bytes it is willing to check.
struct checking_sink {
    frame_shape frame;
    std::uint64_t seen = 0;
    long cached_kind = -1; // the kind of row in cached_row
    std::string cached_row;
};

// The bytes of row y, built pixel by pixel. Rows of one kind (a border row,
// or a body row of one band value) are alike, so the last one is kept.
const std::string& reference_row(checking_sink& sink, std::int64_t y)
{
    const frame_shape& f = sink.frame;
    const bool border = y == 0 || y == f.rows - 1;
    const long kind = border ? 0x10000L : static_cast<long>(reference_pixel(f, 1, y));
    if (kind != sink.cached_kind) {
        sink.cached_row.clear();
        for (std::int64_t x = 0; x < f.width; ++x) {
            const unsigned value = reference_pixel(f, x, y);
            sink.cached_row += static_cast<char>(value & 0xFF);
            sink.cached_row += static_cast<char>(value >> 8);
        }
        sink.cached_kind = kind;
    }
    return sink.cached_row;
}

// Compares the next bytes of the stream with the reference frame.
void check_against_frame(checking_sink& sink, const char* data, std::size_t size)
{
    const auto row_bytes = static_cast<std::uint64_t>(2 * sink.frame.width);
    while (size > 0) {
        const std::uint64_t in_row = sink.seen % row_bytes;
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, row_bytes - in_row));
        const std::string& row =
            reference_row(sink, static_cast<std::int64_t>(sink.seen / row_bytes));
        if (std::memcmp(data, row.data() + in_row, count) != 0) {
            fail("a byte of the frame differs from the pattern");
        }
        data += count;
        size -= count;
        sink.seen += count;
    }
}

ssize_t check_bytes(void* cookie, const char* data, std::size_t size)
{
    auto& sink = *static_cast<checking_sink*>(cookie);
    if (sink.seen + size > stream_bytes_checked) {
        errno = ENOSPC;
        return 0; // a cookie stream's error; never negative
    }
    check_against_frame(sink, data, size);
    return static_cast<ssize_t>(size);
}

void check_stream(const frame_shape& f, std::int32_t height)
{
    checking_sink sink{.frame = f};
    std::FILE* stream = fopencookie(&sink, "w", {nullptr, check_bytes, nullptr, nullptr});
    if (stream == nullptr) {
        fail("fopencookie");
    }
    std::vector<pixel16> row(static_cast<std::size_t>(f.width));
    const bool drawn = draw_frame(stream, row, height);
    const bool closed = std::fclose(stream) == 0;
    const std::uint64_t total = static_cast<std::uint64_t>(2 * f.width * f.rows);
    if (total <= stream_bytes_checked) {
        if (!drawn || !closed || sink.seen != total) {
            fail("the frame was cut short");
        }
    } else if (drawn && closed) {
        fail("a refused stream was reported as written");
    }
}

std::string read_file(const std::string& path)
{
    std::string text;
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
            text.append(chunk, n);
        }
        std::fclose(in);
    }
    return text;
}

// The whole run against scratch files in place of the device and the
// attribute.
void check_run(const frame_shape& f, const std::vector<const char*>& argv)
{
    static const std::string dir = [] {
        std::string pattern = "/tmp/tavlo-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            fail("mkdtemp");
        }
        return pattern;
    }();
    const std::string blank = dir + "/blank";
    const std::string device = dir + "/fb";
    std::fclose(std::fopen(blank.c_str(), "w"));
    const int status =
        run_tavlo(static_cast<int>(argv.size() - 1), argv.data(), blank.c_str(), device.c_str());
    if (status != STATUS_DRAWN) {
        fail("a run on a scratch file did not succeed");
    }
    if (read_file(blank) != "1\n") {
        fail("the blank request is not level 1");
    }
    const std::string frame = read_file(device);
    if (frame.size() != static_cast<std::size_t>(2 * f.width * f.rows)) {
        fail("the scratch device holds a frame of the wrong length");
    }
    checking_sink sink{.frame = f};
    check_against_frame(sink, frame.data(), frame.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args{"tavlo"};
    args.emplace_back();
    for (std::size_t i = 0; i < size && args.size() <= 64; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);

    std::int32_t width = DEFAULT_WIDTH;
    std::int32_t height = DEFAULT_HEIGHT;
    parse_frame_options(static_cast<int>(args.size()), argv.data(), width, height);
    std::int32_t expected_width = DEFAULT_WIDTH;
    std::int32_t expected_height = DEFAULT_HEIGHT;
    reference_scan(args, expected_width, expected_height);
    if (width != expected_width || height != expected_height) {
        fail("the option scan differs from the reference");
    }

    char* line = nullptr;
    std::size_t line_size = 0;
    std::FILE* out = open_memstream(&line, &line_size);
    print_frame_size(out, width, height);
    std::fclose(out);
    const std::string expected_line =
        "Framebuffer w = " + std::to_string(width) + " h = " + std::to_string(height) + "\n";
    if (expected_line != std::string(line, line_size)) {
        fail("the size line is wrong");
    }
    std::free(line);

    if (width < 1 || width > widest_checked_row) {
        return 0;
    }
    const frame_shape frame{width, height, std::max<std::int64_t>(height, 2)};
    check_stream(frame, height);
    if (static_cast<std::uint64_t>(2 * frame.width * frame.rows) <= largest_scratch_frame) {
        check_run(frame, argv);
    }
    return 0;
}
