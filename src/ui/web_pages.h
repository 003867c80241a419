#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

class DesktopShell;
class MessageBoxes;

// Paths of the pages on the maker's web site.
inline constexpr const char* kOnlineGuidePath = "/guidaqpl32/index.html";
inline constexpr const char* kProductPagePath = "/index_frame.asp?pagina=prodotti";
inline constexpr const char* kProductIndexPath = "/index.asp?cat=1";
inline constexpr const char* kQuotaplanPagePath = "/quotaplan.html";

inline constexpr const char* kNoInternetMessage = "Connessione ad internet non disponibile";

// The host of the maker's web site, as the build was configured.
std::string MakerWebHost();

// "http://", the maker's host and the path.
std::string MakerWebAddress(std::string_view path);

// Hands the page to the desktop shell; when the shell cannot open it, says "Connessione
// ad internet non disponibile" in an information box under the application title.
void OpenWebPage(DesktopShell& shell, MessageBoxes& boxes, std::string_view path);

}  // namespace quotaplan
