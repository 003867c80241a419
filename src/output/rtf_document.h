#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// RTF text of a UTF-8 text: "\", "{" and "}" escaped; characters of Windows-1252 beyond
// ASCII as \'xx; other characters as \uN? (UTF-16 units, N signed); each line break (CR LF,
// LF or CR) as \line; a tab as \tab; other control characters dropped.
std::string RtfEscape(std::string_view utf8);

// Fills the bookmark `name` of an RTF document, marked {\*\bkmkstart name}...
// {\*\bkmkend name}: whatever stood between the two marks is replaced by the escaped text,
// and the marks stay. Without an end mark the text goes right after the start mark.
// Returns false, changing nothing, when the document has no such bookmark.
bool FillRtfBookmark(std::string& rtf, std::string_view name, std::string_view utf8Text);

// Sets the document title ({\info{\title ...}}), adding the title or the whole information
// group when the document has none.
void SetRtfTitle(std::string& rtf, std::string_view utf8Title);

// True when the bytes begin as an RTF document does ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

}  // namespace quotaplan
