#pragma once

#include <string>

namespace quotaplan {

// Turns a contract description into a file name: every backslash, slash, colon, asterisk,
// question mark, double quotation mark, less-than, greater-than and vertical bar becomes one
// space, in place, and the result is returned as well. Nothing else is removed or
// shortened; an empty description stays empty. Control characters become a space too: a
// NUL, which no file name can hold and which would silently cut the name short, a line feed,
// an escape and the others of ASCII (1 to 31 and 127) and of Latin-1 (U+0080 to U+009F, two
// bytes in UTF-8), none of which belongs in a name a user reads or a shell prints.
std::string ReplaceInvalidChars(std::string& text);

}  // namespace quotaplan
