#include "common/program_folder.h"

#include <system_error>

namespace quotaplan {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path();
    return executable.parent_path();
}

}  // namespace quotaplan
