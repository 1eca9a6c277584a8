// Server-of-servers master files: partitioned solvers write one Gold case per
// process and a master file listing them, which loads as one data set.
#pragma once

#include "casefile/text_lines.h"

namespace quorix {

// True when the FORMAT section of the file, opened once by the load request,
// says "type: master_server ...".
bool IsServerOfServersFile(TextLines& caseFile);

// Loads every case the master file `path` lists, in order, into one data set.
bool LoadServerOfServers(TextLines& masterFile, const char* path);

}  // namespace quorix
