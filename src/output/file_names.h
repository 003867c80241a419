#pragma once

#include <string>

namespace quotaplan {

// Turns a contract description into a file name: every backslash, slash, colon, asterisk,
// question mark, double quotation mark, less-than, greater-than and vertical bar becomes one
// space, in place, and the result is returned as well. Nothing else is removed or
// shortened; an empty description stays empty. A NUL character, which no file name can hold
// and which would silently cut the name short, becomes a space too.
std::string ReplaceInvalidChars(std::string& text);

}  // namespace quotaplan
