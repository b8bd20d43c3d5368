// The shipped tavlo as a process: its output, exit status and the exact bytes
// that reach the device. Each run gets a private mount namespace with tmpfs
// on /dev and /sys, so that the fixed paths land on scratch files and the
// machine's own devices are never touched.
#include "e2e_config.hpp"
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace test_support;

const std::string blank_attribute = "/sys/devices/platform/da8xx_lcdc.0/graphics/fb0/blank";

// How the scratch /dev and /sys are laid out for a run.
struct board {
    std::string dev_options = "mode=755"; // tmpfs mount options for /dev
    bool has_blank_attribute = true;
    std::string setup;       // shell commands after the mounts
    std::string environment; // assignments placed before the command
    bool merged_output = false;
};

struct run_result {
    int status = -1;
    std::string out;
    std::string err;
    std::optional<std::string> framebuffer; // /dev/fb afterwards, when a regular file
    std::optional<std::string> blank;       // the blank attribute afterwards
};

std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (char c : word) {
        q += c == '\'' ? std::string{"'\\''"} : std::string(1, c);
    }
    return q + "'";
}

// Runs `sh -c script` in a new private mount namespace; the exit status of
// unshare, or -1 when it could not be started. The output of unshare and of
// the script goes to `log`.
int run_in_namespace(const std::string& script, const std::string& log)
{
    return run_program({"unshare", "--mount", "--propagation", "private", "sh", "-c", script}, log,
                       log);
}

// Why runs cannot be sandboxed on this machine, or empty when they can.
const std::string& namespace_problem()
{
    static const std::string problem = [] {
        const fs::path scratch = make_scratch_dir("tavlo-e2e");
        const std::string log = (scratch / "log").string();
        const int status =
            run_in_namespace("mount -n -t tmpfs tmpfs /dev && mount -n -t tmpfs tmpfs /sys", log);
        std::string reason;
        if (status != 0) {
            reason = "cannot make a private mount namespace with tmpfs on /dev and /sys "
                     "(needs root): " +
                     (status < 0 ? std::string{"unshare could not be started"}
                                 : read_file(log).value_or(""));
        }
        fs::remove_all(scratch);
        return reason;
    }();
    return problem;
}

run_result run_tavlo(const std::vector<std::string>& arguments, const board& b = {})
{
    run_result result;
    const fs::path scratch = make_scratch_dir("tavlo-e2e");
    const std::string out = quoted((scratch / "stdout").string());
    const std::string err = b.merged_output ? "&1" : quoted((scratch / "stderr").string());

    std::string command = b.environment;
    for (const std::string& word : tavlo_command) {
        command += " " + quoted(word);
    }
    for (const std::string& word : arguments) {
        command += " " + quoted(word);
    }
    std::string script = "set -e\n"
                         "mount -n -t tmpfs -o " +
                         quoted(b.dev_options) +
                         " tmpfs /dev\n"
                         "mount -n -t tmpfs -o mode=755 tmpfs /sys\n";
    if (b.has_blank_attribute) {
        script += "mkdir -p " + quoted(fs::path{blank_attribute}.parent_path().string()) + "\n";
        script += ": > " + quoted(blank_attribute) + "\n";
    }
    script += b.setup + "\nset +e\n";
    script += "(" + command + ") > " + out + " 2>" + err + "\n";
    script += "echo $? > " + quoted((scratch / "status").string()) + "\n";
    script += "if [ -f /dev/fb ]; then cp /dev/fb " + quoted((scratch / "fb").string()) + "; fi\n";
    script += "if [ -f " + quoted(blank_attribute) + " ]; then cp " + quoted(blank_attribute) +
              " " + quoted((scratch / "blank").string()) + "; fi\n";

    const int namespace_status = run_in_namespace(script, (scratch / "log").string());
    EXPECT_EQ(namespace_status, 0) << "the sandbox script failed:\n"
                                   << script << read_file(scratch / "log").value_or("");
    result.status = std::atoi(read_file(scratch / "status").value_or("-1").c_str());
    result.out = read_file(scratch / "stdout").value_or("");
    result.err = read_file(scratch / "stderr").value_or("");
    result.framebuffer = read_file(scratch / "fb");
    result.blank = read_file(scratch / "blank");
    fs::remove_all(scratch);
    return result;
}

// The expected stream: the reference rows, two bytes a pixel, least
// significant byte first. Only the first `row_limit` rows when given.
std::string expected_frame(std::int32_t width, std::int32_t height,
                           std::int64_t row_limit = INT64_MAX)
{
    std::string bytes;
    for (const unsigned row_value : reference_row_values(height, row_limit)) {
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned value = x == 0 || x == width - 1 ? 0xFFFFU : row_value;
            bytes += static_cast<char>(value & 0xFFU);
            bytes += static_cast<char>(value >> 8U);
        }
    }
    return bytes;
}

std::string size_line(std::int64_t width, std::int64_t height)
{
    return "Framebuffer w = " + std::to_string(width) + " h = " + std::to_string(height) + "\n";
}

std::string progress(std::int64_t width, std::int64_t height)
{
    return size_line(width, height) + "opening /dev/fb\n";
}

class e2e : public testing::Test {
  protected:
    void SetUp() override
    {
        if (!namespace_problem().empty()) {
            GTEST_SKIP() << namespace_problem();
        }
    }
};

struct frame_case {
    std::vector<std::string> arguments;
    std::int32_t width;
    std::int32_t height;
};

void PrintTo(const frame_case& c, std::ostream* os)
{
    *os << c.width << "x" << c.height;
}

class frames : public e2e, public testing::WithParamInterface<frame_case> {};

TEST_P(frames, reach_the_device_exactly)
{
    const frame_case& c = GetParam();
    const run_result r = run_tavlo(c.arguments);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, progress(c.width, c.height));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.blank, "1\n");
    ASSERT_TRUE(r.framebuffer.has_value());
    const std::string expected = expected_frame(c.width, c.height);
    ASSERT_EQ(r.framebuffer->size(), expected.size());
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), r.framebuffer->begin());
    EXPECT_TRUE(mismatch.first == expected.end())
        << "first wrong byte at offset " << (mismatch.first - expected.begin());
}

INSTANTIATE_TEST_SUITE_P(
    sizes, frames,
    testing::Values(frame_case{{}, 640, 480}, frame_case{{"-w", "800", "-h", "600"}, 800, 600},
                    frame_case{{"-h", "272", "-w", "480"}, 480, 272},
                    frame_case{{"-w", "640", "-h", "481"}, 640, 481},
                    frame_case{{"--verbose", "-width", "33", "-h", "20"}, 33, 20},
                    frame_case{{"-w", "64", "-h", "15"}, 64, 15},
                    frame_case{{"-w", "1", "-h", "40"}, 1, 40},
                    frame_case{{"-w", "2", "-h", "40"}, 2, 40},
                    frame_case{{"-w", "7", "-h", "2"}, 7, 2},
                    frame_case{{"-w", "7", "-h", "abc"}, 7, 0},
                    frame_case{{"-w", "7", "-h", "-99999999999"}, 7, INT32_MIN}));

TEST_F(e2e, default_frame_starts_with_the_border_and_band_zero)
{
    const run_result r = run_tavlo({});
    ASSERT_TRUE(r.framebuffer.has_value());
    ASSERT_EQ(r.framebuffer->size(), 2U * 640U * 480U);
    EXPECT_EQ(r.framebuffer->substr(0, 2), "\xFF\xFF");
    EXPECT_EQ(r.framebuffer->substr(2 * 640, 6), std::string("\xFF\xFF\x01\x00\x01\x00", 6));
    EXPECT_EQ(r.framebuffer->substr(2 * 640 * 478 + 2, 2), std::string("\x00\x80", 2));
}

TEST_F(e2e, missing_blank_attribute_is_silent)
{
    board b;
    b.has_blank_attribute = false;
    const run_result r = run_tavlo({"-w", "32", "-h", "32"}, b);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, progress(32, 32));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.blank, std::nullopt);
    EXPECT_EQ(r.framebuffer, expected_frame(32, 32));
}

struct open_failure {
    const char* what;
    std::string dev_options;
    std::string setup;
    std::string report;
};

void PrintTo(const open_failure& c, std::ostream* os)
{
    *os << c.what;
}

class unopenable_device : public e2e, public testing::WithParamInterface<open_failure> {};

TEST_P(unopenable_device, ends_with_status_2)
{
    board b;
    b.dev_options = GetParam().dev_options;
    b.setup = GetParam().setup;
    const run_result r = run_tavlo({"-h", "272"}, b);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, progress(640, 272));
    EXPECT_EQ(r.err, GetParam().report);
    EXPECT_EQ(r.blank, "1\n");
    EXPECT_EQ(r.framebuffer, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(devices, unopenable_device,
                         testing::Values(open_failure{"directory", "mode=755", "mkdir /dev/fb",
                                                      "/dev/fb: Is a directory\n"},
                                         open_failure{"read-only", "mode=755,ro", "",
                                                      "/dev/fb: Read-only file system\n"}));

TEST_F(e2e, error_report_comes_before_redirected_progress_lines)
{
    board b;
    b.setup = "mkdir /dev/fb";
    b.merged_output = true;
    const run_result r = run_tavlo({}, b);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "/dev/fb: Is a directory\n" + progress(640, 480));
}

struct refusal {
    std::vector<std::string> arguments;
    std::string size_line;
    std::string report;
};

void PrintTo(const refusal& c, std::ostream* os)
{
    for (const std::string& a : c.arguments) {
        *os << a << " ";
    }
}

class refused_width : public e2e, public testing::WithParamInterface<refusal> {};

TEST_P(refused_width, touches_no_device)
{
    const run_result r = run_tavlo(GetParam().arguments);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, GetParam().size_line);
    EXPECT_EQ(r.err, GetParam().report);
    EXPECT_EQ(r.blank, ""); // the attribute is left as it was
    EXPECT_EQ(r.framebuffer, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    widths, refused_width,
    testing::Values(refusal{{"-w", "0"},
                            size_line(0, 480),
                            "tavlo: invalid frame width 0: it must be at least 1 pixel\n"},
                    refusal{{"-w", "-5", "-h", "10"},
                            size_line(-5, 10),
                            "tavlo: invalid frame width -5: it must be at least 1 pixel\n"},
                    refusal{{"-w640", "-h480"},
                            size_line(0, 480),
                            "tavlo: invalid frame width 0: it must be at least 1 pixel\n"},
                    refusal{{"-w", "-h", "300"},
                            size_line(0, 300),
                            "tavlo: invalid frame width 0: it must be at least 1 pixel\n"},
                    refusal{
                        {"-w", "-9999999999"},
                        size_line(INT32_MIN, 480),
                        "tavlo: invalid frame width -2147483648: it must be at least 1 pixel\n"}));

struct write_failure {
    const char* what;
    std::vector<std::string> arguments;
    std::string dev_options;
    std::string setup;
    std::int64_t width;
    std::int64_t height;
};

void PrintTo(const write_failure& c, std::ostream* os)
{
    *os << c.what;
}

class refused_write : public e2e, public testing::WithParamInterface<write_failure> {};

TEST_P(refused_write, stops_at_once_with_status_1)
{
    const write_failure& c = GetParam();
    board b;
    b.dev_options = c.dev_options;
    b.setup = c.setup;
    const run_result r = run_tavlo(c.arguments, b);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, progress(c.width, c.height));
    EXPECT_EQ(r.err, "/dev/fb: No space left on device\n");
    EXPECT_EQ(r.blank, "1\n");
    if (r.framebuffer.has_value()) {
        // What did land is the start of the frame.
        EXPECT_GT(r.framebuffer->size(), 0U);
        EXPECT_LE(r.framebuffer->size(), 64U * 1024U);
        const auto width = static_cast<std::int32_t>(c.width);
        const std::string start =
            expected_frame(width, static_cast<std::int32_t>(c.height), 64 * 1024 / (2 * width) + 1);
        EXPECT_EQ(*r.framebuffer, start.substr(0, r.framebuffer->size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    devices, refused_write,
    testing::Values(write_failure{"full", {}, "mode=755", "mknod /dev/fb c 1 7", 640, 480},
                    write_failure{"small", {}, "mode=755,size=64k", "", 640, 480},
                    write_failure{"small_and_endless",
                                  {"-h", "2147483647", "-w", "1024"},
                                  "mode=755,size=64k",
                                  "",
                                  1024,
                                  INT32_MAX}));

TEST_F(e2e, row_that_cannot_be_allocated_ends_the_run)
{
    // Two bytes a pixel make a row of about 4 GiB: more than a 32-bit process
    // can address, and more than the address-space limit set here.
    board b;
    if (tavlo_sanitized) {
        b.environment = "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=3072";
    } else if (sizeof(void*) > 4) {
        b.environment = "ulimit -v 3145728;";
    }
    const run_result r = run_tavlo({"-w", "2147483647", "-h", "10"}, b);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, progress(INT32_MAX, 10));
    std::string report = r.err;
    if (tavlo_sanitized && report.starts_with("==")) {
        report.erase(0, report.find('\n') + 1); // the sanitizer's own warning
    }
    EXPECT_EQ(report, "tavlo: cannot allocate a row of 2147483647 pixels\n");
    EXPECT_EQ(r.framebuffer, "");
}

} // namespace
