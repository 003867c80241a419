#include "cli/setup_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <system_error>

#include "cli/json_text.h"
#include "common/stderr_message_boxes.h"
#include "data/archive_setup.h"
#include "data/connection.h"
#include "data/contract_names.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

int Finish(const ArchiveSetup& setup, std::ostream& err) {
    if (setup.ok) return 0;
    err << setup.message << "\n";
    return setup.refused ? kRefused : kDatabaseError;
}

bool IsNewFile(const ArchiveLocation& location) {
    std::error_code error;
    return location.conninfo.empty() &&
           fs::symlink_status(location.path, error).type() == fs::file_type::not_found;
}

int InitCommand(const ArchiveLocation& location, std::ostream& out, std::ostream& err) {
    if (location.conninfo.empty()) {
        if (!IsNewFile(location)) {
            err << "Il file " << location.path.string()
                << " esiste già: --init-archive crea soltanto un archivio nuovo.\n";
            return kRefused;
        }
        const auto made = MakeArchiveFile(location.path);
        if (made.ok) out << "Archivio nuovo pronto. File: " << location.path.string() << "\n";
        return Finish(made, err);
    }
    try {
        auto db = OpenUnchecked(location);
        const auto made = InitArchive(db);
        if (made.ok) out << "Archivio nuovo pronto. " << db.Location() << "\n";
        return Finish(made, err);
    } catch (const DatabaseError& failure) {
        err << ErrorLine(failure.Error()) << "\n";
        return kDatabaseError;
    }
}

// The contracts of the source to rename so that no two share a name's key in the copy; a
// refusal (nullopt, the pairs reported) when there are some and renaming was not asked for.
std::optional<std::vector<ContractName>> RenamesForCopy(Database& from, bool renameDuplicates,
                                                        std::ostream& err) {
    const auto contracts = ReadContractNames(from);
    const auto clashes = NameClashes(contracts);
    if (clashes.empty()) return std::vector<ContractName>();
    if (!renameDuplicates) {
        err << "Nell'archivio da copiare ci sono contratti con lo stesso nome (maiuscole, "
               "accenti e spazi a parte):\n"
            << ClashLines(clashes)
            << "Nulla è stato copiato. Con --rename-duplicates i successivi prendono \" (2)\", "
               "\" (3)\"... in fondo al nome.\n";
        return std::nullopt;
    }
    auto renamed = DistinctNames(contracts);
    for (const auto& contract : renamed) {
        const auto was = std::find_if(contracts.begin(), contracts.end(),
                                      [&](const ContractName& c) { return c.id == contract.id; });
        err << "Il contratto " << contract.id << " \"" << was->name << "\" è copiato come \""
            << contract.name << "\".\n";
    }
    return renamed;
}

// {"table": rows, ...}
std::string CountsJson(const std::vector<std::pair<std::string, std::int64_t>>& counts) {
    std::string json = "{";
    for (const auto& [table, count] : counts) {
        json += (json.size() > 1 ? ", " : "") + JsonString(table) + ": " + std::to_string(count);
    }
    return json + "}";
}

// The texts the copy stored otherwise than the source holds them, one line each.
void ReportChangedTexts(const std::vector<ChangedText>& changed, std::ostream& err) {
    for (const auto& text : changed) {
        err << "Testo cambiato nella copia: " << text.table << ", " << text.row << ", campo "
            << text.column << ": " << text.change << " (ora \"" << text.text << "\").\n";
    }
}

int CopyCommand(const std::string& fromAddress, const std::string& toAddress,
                CopyOptions options, bool renameDuplicates, std::ostream& out,
                std::ostream& err) {
    StderrMessageBoxes boxes(err);
    // Only read: an older source stays as it is, not brought up to date on the way.
    auto from = OpenArchiveToRead(LocationOfAddress(fromAddress), boxes);
    if (!from) return kDatabaseError;
    std::optional<std::vector<ContractName>> renamed;
    try {
        renamed = RenamesForCopy(*from, renameDuplicates, err);
    } catch (const DatabaseError& failure) {
        err << ErrorLine(failure.Error()) << "\n";
        return kDatabaseError;
    }
    if (!renamed) return kRefused;
    options.renamed = std::move(*renamed);
    const auto toLocation = LocationOfAddress(toAddress);
    ArchiveSetup copied;
    if (IsNewFile(toLocation)) {
        copied = MakeArchiveFile(toLocation.path,
                                 [&](Database& to) { return CopyArchive(*from, to, options); });
    } else {
        auto to = ADO_connConnectDB(toAddress, "", "", boxes);
        if (!to) return kDatabaseError;
        copied = CopyArchive(*from, *to, options);
    }
    if (!copied.ok) return Finish(copied, err);
    ReportChangedTexts(copied.changedTexts, err);
    if (options.targetRows == TargetRows::Replace) {
        out << "{\"copied\": " << CountsJson(copied.counts)
            << ", \"replaced\": " << CountsJson(copied.replaced) << "}\n";
    } else {
        out << CountsJson(copied.counts) << "\n";
    }
    return 0;
}

}  // namespace

const std::set<std::string>& SetupFlagOptions() {
    static const std::set<std::string> flags = {"init-archive", "rename-duplicates", "replace"};
    return flags;
}

const std::set<std::string>& SetupPairOptions() {
    static const std::set<std::string> pairs = {"copy-archive"};
    return pairs;
}

bool AsksForSetup(const CommandLine& line) {
    return line.Has("init-archive") || line.Has("copy-archive") || line.Has("rename-duplicates") ||
           line.Has("replace");
}

int RunSetupCommand(const CommandLine& line, const fs::path& programFolder, std::ostream& out,
                    std::ostream& err) {
    if (line.Has("init-archive") && line.Has("copy-archive")) {
        err << "Indicare uno solo fra --init-archive e --copy-archive.\n";
        return kRefused;
    }
    for (const char* flag : {"rename-duplicates", "replace"}) {
        if (line.Has(flag) && !line.Has("copy-archive")) {
            err << "--" << flag << " si usa solo con --copy-archive.\n";
            return kRefused;
        }
    }
    if (line.Has("copy-archive")) {
        CopyOptions options;
        if (line.Has("replace")) options.targetRows = TargetRows::Replace;
        return CopyCommand(*line.Value("copy-archive"), *line.SecondValue("copy-archive"), options,
                           line.Has("rename-duplicates"), out, err);
    }
    if (const auto address = line.Value("db")) {
        return InitCommand(LocationOfAddress(*address), out, err);
    }
    const auto configured = ConfiguredArchivePath(programFolder);
    if (!configured.failure.empty()) {
        err << configured.failure << "\n";
        return kDatabaseError;
    }
    return InitCommand(configured, out, err);
}

}  // namespace quotaplan
