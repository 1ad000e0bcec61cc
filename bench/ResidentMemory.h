// The process's resident memory, for the benchmarks that measure what instances cost.
#pragma once

#include <cstdio>
#include <unistd.h>

// Resident memory of the process in bytes (the second field of /proc/self/statm is pages).
inline double residentBytes()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0.0;
    long size = 0, resident = 0;
    const int read = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return read == 2 ? double(resident) * double(sysconf(_SC_PAGESIZE)) : 0.0;
}
