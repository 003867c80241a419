#include "common/loaded_library.h"

#include <dlfcn.h>

namespace quotaplan {
namespace {

// Opens `file` and resolves `names` into `addresses`; what failed otherwise. The handle is
// left in `handle` (null when the library did not open).
std::optional<std::string> Open(const std::string& file, const std::vector<std::string>& names,
                                std::vector<void*>& addresses, void*& handle) {
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        return std::string(why != nullptr ? why : file);
    }
    addresses.assign(names.size(), nullptr);
    for (std::size_t k = 0; k < names.size(); ++k) {
        addresses[k] = dlsym(handle, names[k].c_str());
        if (addresses[k] == nullptr) return "manca " + names[k];
    }
    return std::nullopt;
}

}  // namespace

LoadedLibrary::LoadedLibrary(std::string file, std::vector<std::string> functions)
    : file_(std::move(file)), names_(std::move(functions)) {}

const std::optional<std::string>& LoadedLibrary::Load() {
    std::call_once(once_, [this] {
        void* handle = nullptr;
        missing_ = Open(file_, names_, addresses_, handle);
        // Kept open for the rest of the process: its functions stay in use until the end.
        if (missing_ && handle != nullptr) dlclose(handle);
    });
    return missing_;
}

std::optional<std::string> LoadedLibrary::Probe(const std::string& file,
                                                const std::vector<std::string>& functions) {
    std::vector<void*> addresses;
    void* handle = nullptr;
    auto missing = Open(file, functions, addresses, handle);
    if (handle != nullptr) dlclose(handle);
    return missing;
}

}  // namespace quotaplan
