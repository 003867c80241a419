#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quotaplan {

// Whether an archive name is a server's address: a connection URI, or a libpq connection
// string of key=value pairs ("host=server dbname=archivio user=quotaplan": a word of
// letters, digits and "_" starting with a letter, then "=", blanks allowed around it).
// Anything else is a file; a file whose name looks like an address is named with its
// folder ("./host=x").
bool IsServerAddress(std::string_view text);

// The passwords the address holds: a key=value string's password=..., a URI's
// user:password@ and ?password=..., as written.
std::vector<std::string> PasswordsIn(std::string_view address);

// The text with every password of the address in it replaced by "***": for messages that
// quote an address or a piece of it.
std::string WithoutPassword(std::string text, std::string_view address);

}  // namespace quotaplan
