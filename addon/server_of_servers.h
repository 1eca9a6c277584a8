// Server-of-servers master files: partitioned solvers write one Gold case per
// process and a master file listing them, which loads as one data set.
#pragma once

namespace quorix {

// True when the FORMAT section of the file says "type: master_server ...".
bool IsServerOfServersFile(const char* path);

// Loads every case the master file lists, in order, into one data set.
bool LoadServerOfServers(const char* path);

}  // namespace quorix
