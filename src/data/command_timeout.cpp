#include "data/command_timeout.h"

#include <charconv>

#include "common/program_folder.h"
#include "data/ini_file.h"

namespace quotaplan {

ConfiguredTimeout ConfiguredCommandTimeout(const std::filesystem::path& programFolder) {
    // The same settings the archive's address comes from: the user's, or the office's.
    const std::filesystem::path ini = SettingsFileOf(programFolder);
    const FileReadResult read = ReadIniFile(ini);
    if (read.status != FileReadStatus::Read) return {};
    const std::string text = IniValueFromText(read.bytes, "DATABASE", "TIMEOUT");
    if (text.empty()) return {};
    long long seconds = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error == std::errc() && end == text.data() + text.size() && seconds >= 0 &&
        seconds <= kLongestCommandTimeout.count()) {
        return {std::chrono::seconds(seconds), ""};
    }
    return {kDefaultCommandTimeout,
            "Nel file di configurazione " + ini.string() + " il TIMEOUT \"" + text +
                "\" non è valido: serve un numero intero di secondi da 0 (nessun limite) a " +
                std::to_string(kLongestCommandTimeout.count()) + "."};
}

}  // namespace quotaplan
