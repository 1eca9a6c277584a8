// zelhost's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct HostOptions {
    std::string command;  // load, run, pick, case or info
    std::vector<std::string> operands;
    bool batch = false;
    std::optional<bool> answer;  // --answer yes|no
    std::string hostVersion;
    int32_t cancelAt = -1;
    std::string addon;
    bool dialogCancel = false;
    int64_t refuseRegistration = 0;
    bool noRawNodeMap = false;
    bool noValueSharing = false;
    bool json = false;
    bool loadAll = false;
    int threads = 1;
    bool time = false;
    bool dumpLoadRequests = false;
    bool dumpConnectivity = false;
    std::string preload;  // a case loaded before the command (to test the data-loss question)
    bool help = false;
};

// False with `error` set when the command line is not usable.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error);
const char* HostUsage();
