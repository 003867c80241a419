#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quotaplan {

// A text of an archive file as an archive on the server can hold it, and what was changed.
struct ServerText {
    std::string text;
    std::string change;  // in Italian, for the list of what a copy changed
};

// nullopt when the server holds the text as it is: valid UTF-8 without the character NUL.
// A file may hold either, which the server refuses (with its own English words) or cuts at
// the NUL without a word. Such a text is read as what its writer meant, so that nothing is
// lost unseen: bytes that are not UTF-8 come from an older program writing Windows-1252
// ("Societ\xE0" is "Società"), and each NUL becomes U+FFFD, the character that stands for
// one that cannot be shown, so the place stays visible.
std::optional<ServerText> TextForServer(std::string_view stored);

}  // namespace quotaplan
