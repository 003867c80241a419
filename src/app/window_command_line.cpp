#include "app/window_command_line.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "common/program_folder.h"
#include "common/program_info.h"

namespace quotaplan {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The platform Qt is told to use: a -platform argument before $QT_QPA_PLATFORM.
std::string NamedPlatform(const std::vector<std::string>& args,
                          const std::string& fromEnvironment) {
    for (std::size_t k = 0; k + 1 < args.size(); ++k) {
        if (args[k] == "-platform" || args[k] == "--platform") return args[k + 1];
    }
    return fromEnvironment;
}

// Whether every platform of the list ("wayland;xcb", each possibly with ":options") is one that
// draws on a display server; an empty list lets Qt choose one of those.
bool NeedsDisplayServer(const std::string& platforms) {
    std::istringstream list(platforms);
    for (std::string entry; std::getline(list, entry, ';');) {
        const std::string name = entry.substr(0, entry.find(':'));
        if (!name.starts_with("xcb") && !name.starts_with("wayland")) return false;
    }
    return true;
}

}  // namespace

DisplayEnvironment CurrentDisplayEnvironment() {
    return {Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"), Environment("QT_QPA_PLATFORM")};
}

std::string WindowUsageText() {
    return std::string(
               "Uso: quotaplan [--help | --version]\n"
               "Quotaplan calcola e archivia in una finestra leasing, mutui e credito al "
               "consumo a rata costante;\n"
               "ne gira una copia sola per utente. Per calcolare senza finestra: "
               "quotaplan-calc --help.\n"
               "\n"
               "  -h, --help   mostra questo aiuto\n"
               "  --version    mostra la versione\n"
               "\n"
               "L'archivio e le impostazioni sono nella cartella dell'utente "
               "~/.local/share/Quotaplan;\n"
               "un utente senza Quotaplan.ini legge quello dell'ufficio, ") +
           kOfficeSettingsFile + ".\n";
}

std::optional<int> AnswerBeforeWindow(const std::vector<std::string>& args,
                                      const DisplayEnvironment& environment, std::ostream& out,
                                      std::ostream& err) {
    const auto asks = [&args](const char* option) {
        return std::find(args.begin(), args.end(), option) != args.end();
    };
    if (asks("--help") || asks("-h")) {
        out << WindowUsageText();
        return 0;
    }
    if (asks("--version")) {
        out << "quotaplan " << ProgramVersion() << "\n";
        return 0;
    }
    if (NeedsDisplayServer(NamedPlatform(args, environment.platform)) &&
        environment.display.empty() && environment.waylandDisplay.empty()) {
        err << "quotaplan: nessuno schermo grafico (DISPLAY e WAYLAND_DISPLAY non sono impostati); "
               "per calcolare senza finestra c'è quotaplan-calc.\n";
        return 1;
    }
    return std::nullopt;
}

}  // namespace quotaplan
