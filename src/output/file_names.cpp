#include "output/file_names.h"

#include <string_view>

namespace quotaplan {

std::string ReplaceInvalidChars(std::string& text) {
    constexpr std::string_view kInvalid("\\/:*?\"<>|\0", 10);
    for (char& c : text) {
        if (kInvalid.find(c) != std::string_view::npos) {
            c = ' ';
        }
    }
    return text;
}

}  // namespace quotaplan
