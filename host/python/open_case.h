// Cases loaded into frames of their own and held by handle, so that several
// stay open side by side. Python-free: the module wraps it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/zel_host.h"

namespace quorixpy {

// Opens the add-on and calls its entry, once a process, as zelhost does; the
// host is configured as a program's: messages recorded, none echoed.
bool StartHost(const std::string& addOnPath, std::string& error);

struct LoadOutcome {
    zelhost::DataSetHandle dataSet;          // null when the load failed
    std::vector<zelhost::Message> messages;  // what the load recorded
};
// Loads take turns, as on a host's one thread: the add-on builds on the top frame.
LoadOutcome LoadCase(const std::string& path);
// Takes the data set out of the host; arrays held elsewhere stay alive.
void CloseCase(const zelhost::DataSetHandle& dataSet);

// The position of the next message in the host's log, and what came after one.
size_t MessageMark();
std::vector<zelhost::Message> MessagesSince(size_t mark);
// The errors among them, one a line; `fallback` when there is none.
std::string ErrorText(const std::vector<zelhost::Message>& messages, const std::string& fallback);

}  // namespace quorixpy
