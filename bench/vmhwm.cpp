// Preloaded into the benchmarked process: at its exit, appends the peak
// resident set of the process itself (VmHWM, in KiB) to the file named by
// VMHWM_FILE. getrusage's figure would also count the pages of the parent
// that forked it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

__attribute__((destructor)) static void report_peak_resident_set()
{
    const char* target = std::getenv("VMHWM_FILE");
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (target == nullptr || status == nullptr) {
        return;
    }
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            if (std::FILE* out = std::fopen(target, "a")) {
                std::fprintf(out, "%ld\n", std::strtol(line + 6, nullptr, 10));
                std::fclose(out);
            }
        }
    }
    std::fclose(status);
}
