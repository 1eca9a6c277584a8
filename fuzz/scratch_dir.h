// Where the fuzz targets write their inputs: memory-backed when the machine
// has it, so a run spends its time in the readers rather than in writeback.
#pragma once

#include <unistd.h>

#include <string>

inline const std::string& ScratchRoot() {
    static const std::string root = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return root;
}
