// Preloaded into the benchmarked process: at its exit, appends to the file
// named by VMHWM_FILE two numbers of the process itself, in KiB: the peak
// resident set the kernel recorded (VmHWM) and its anonymous memory (heap,
// stack, buffers) counted page by page (smaps_rollup). getrusage's figure
// would also count the pages of the parent that forked the process.
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The number after `key` in a /proc file of "Key:   N kB" lines, or -1.
static long proc_field(const char* path, const char* key)
{
    long value = -1;
    if (std::FILE* in = std::fopen(path, "r")) {
        char line[256];
        const std::size_t key_length = std::strlen(key);
        while (std::fgets(line, sizeof line, in) != nullptr) {
            if (std::strncmp(line, key, key_length) == 0) {
                value = std::strtol(line + key_length, nullptr, 10);
                break;
            }
        }
        std::fclose(in);
    }
    return value;
}

__attribute__((destructor)) static void report_resident_set()
{
    const char* target = std::getenv("VMHWM_FILE");
    if (target == nullptr) {
        return;
    }
    const long peak = proc_field("/proc/self/status", "VmHWM:");
    const long anonymous = proc_field("/proc/self/smaps_rollup", "Anonymous:");
    if (std::FILE* out = std::fopen(target, "a")) {
        std::fprintf(out, "%ld %ld\n", peak, anonymous);
        std::fclose(out);
    }
}
