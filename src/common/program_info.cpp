#include "common/program_info.h"

namespace quotaplan {
namespace {

std::string& StoredProgramTitle() {
    static std::string title = "Quotaplan";
    return title;
}

}  // namespace

void SetProgramTitle(std::string_view title) {
    if (!title.empty()) StoredProgramTitle() = std::string(title);
}

const std::string& ProgramTitle() { return StoredProgramTitle(); }

std::string ProgramVersion() {
    return std::to_string(QUOTAPLAN_VERSION_MAJOR) + "." + std::to_string(QUOTAPLAN_VERSION_MINOR) +
           "." + std::to_string(QUOTAPLAN_VERSION_PATCH);
}

std::string DefaultBoxTitle() { return ProgramTitle() + " " + ProgramVersion(); }

}  // namespace quotaplan
