// Scratch files of one fuzzing process: the targets work on paths, so every
// input is written to a file of its own process first.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string ScratchPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/dunmoor_fuzz_" +
           std::to_string(getpid()) + "_" + name;
}

inline bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
