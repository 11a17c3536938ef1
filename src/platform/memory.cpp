#include "platform/memory.h"

#include <cstdio>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace rebound::platform {

void return_free_memory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

namespace {

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in bytes.
std::size_t status_kilobytes(const char* key) {
#if defined(__linux__)
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    std::size_t kb = 0;
    const std::size_t key_length = std::strlen(key);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, key, key_length) == 0) {
            unsigned long long value = 0;
            if (std::sscanf(line + key_length, "%llu", &value) == 1) kb = static_cast<std::size_t>(value);
            break;
        }
    }
    std::fclose(status);
    return kb * 1024;
#else
    (void)key;
    return 0;
#endif
}

}  // namespace

std::size_t resident_memory() {
    return status_kilobytes("VmRSS:");
}

std::size_t peak_resident_memory() {
    return status_kilobytes("VmHWM:");
}

}  // namespace rebound::platform
