#include "apps/addon_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

std::string DefaultAddOnPath() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "libquorix.so";
    const std::string exe(self, static_cast<size_t>(length));
    const size_t slash = exe.rfind('/');
    return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "libquorix.so";
}

bool StartAddOn(const std::string& path, std::string& error) {
    // Kept open for the life of the process: the host holds its callbacks.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        error = "cannot load the add-on " + path + ": " + (why != nullptr ? why : "unknown error");
        return false;
    }
    using Entry = void (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(library, "InitZelAddOn113"));
    if (entry == nullptr) {
        error = "the add-on " + path + " has no InitZelAddOn113";
        return false;
    }
    entry();
    return true;
}

std::vector<std::string> LoadInstructions(const std::string& casePath) {
    return {"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", casePath};
}
