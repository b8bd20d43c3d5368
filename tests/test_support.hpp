// Helpers shared by the tests that run tavlo as a process: scratch folders,
// files read whole, and the reference frame.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace test_support {

// A new empty folder under the temporary directory, or an empty path.
inline std::filesystem::path make_scratch_dir(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern;
}

inline std::optional<std::string> read_file(const std::filesystem::path& path)
{
    std::ifstream in{path, std::ios::binary};
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>{in}, {});
}

// Runs a program (looked up in PATH) with its standard output and standard
// error sent to the named files, which may be the same one. Returns its
// exit status, or -1 when it could not be run or did not exit.
inline int run_program(std::vector<std::string> words, const std::string& out_path,
                       const std::string& err_path)
{
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    if (err_path == out_path) {
        posix_spawn_file_actions_adddup2(&files, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&files, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    int wait_status = 0;
    if (spawned != 0 || waitpid(pid, &wait_status, 0) != pid || !WIFEXITED(wait_status)) {
        return -1;
    }
    return WEXITSTATUS(wait_status);
}

// The inner value of each row of a frame of `height` rows (at most
// `row_limit` of them), built the other way round from the program: a
// running band counter that moves on after every band_height body rows.
// Border rows are 0xFFFF; every row is white at both ends besides.
inline std::vector<unsigned> reference_row_values(std::int64_t height,
                                                  std::int64_t row_limit = INT64_MAX)
{
    const std::int64_t rows = std::max<std::int64_t>(height, 2);
    const std::int64_t band_height = std::max<std::int64_t>(height / 16, 1);
    std::vector<unsigned> values;
    unsigned band = 0;
    for (std::int64_t r = 0; r < std::min(rows, row_limit); ++r) {
        const bool border = r == 0 || r == rows - 1;
        values.push_back(border ? 0xFFFFU : band < 16 ? 1U << band : 0U);
        if (!border && r % band_height == 0) {
            ++band;
        }
    }
    return values;
}

} // namespace test_support
