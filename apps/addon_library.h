// The add-on as a loaded library: opened once, its entry called once.
#pragma once

#include <string>
#include <vector>

// The default: libquorix.so beside the running executable.
std::string DefaultAddOnPath();
// Opens the library and calls InitZelAddOn113; false with `error` set when it cannot.
bool StartAddOn(const std::string& path, std::string& error);
// The instruction list that loads one case file.
std::vector<std::string> LoadInstructions(const std::string& casePath);
