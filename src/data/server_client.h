#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quotaplan {

// The PostgreSQL client library, libpq, is loaded the first time a server address is used
// rather than linked: with it come TLS, Kerberos and LDAP, about twenty libraries whose
// loading made every calculation of quotaplan-calc several times slower than its work. The
// libpq functions the engine calls are defined in server_client.cpp, each forwarding to
// the library once loaded; a function the engine starts to use needs its line there.

// The file name of the library, as the package libpq5 installs it.
inline constexpr std::string_view kServerClientLibrary = "libpq.so.5";

// Loads the library (once; later calls give the first call's answer). nullopt when it is
// ready; otherwise the Italian message saying what is missing and how to install it.
// Safe to call from several threads.
std::optional<std::string> LoadServerClient();

// The message for a library that cannot be loaded from `file`, or nullopt when `file` loads
// and holds every function the engine calls; the library itself stays as it was (for tests).
std::optional<std::string> ServerClientMissing(const std::string& file);

}  // namespace quotaplan
