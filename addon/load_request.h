// A load request: the instruction list turned into load options, and the case it names.
#pragma once

#include "addon/zel_api.h"
#include "dataset/load_options.h"

namespace quorix {

void ResetLoadOptions(LoadOptions& options);
void ReleaseLoadOptions(LoadOptions& options);
// False refuses the request.
bool ParseLoadInstructions(StringList_pa instructions, LoadOptions& options);
bool LoadCaseFile(LoadOptions& options);

}  // namespace quorix
