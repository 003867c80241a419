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
#include "data/sqlite_engine.h"

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

// A new SQLite archive in a file that does not exist yet; the file is removed again when it
// cannot be made whole.
std::optional<Database> NewSqliteArchive(const fs::path& file, std::ostream& err) {
    try {
        Database db(CreateSqliteEngine(file));
        const auto made = InitArchive(db);
        if (made.ok) return db;
        err << made.message << "\n";
    } catch (const DatabaseError& failure) {
        err << ErrorLine(failure.Error()) << "\n";
    }
    std::error_code error;
    fs::remove(file, error);
    return std::nullopt;
}

int InitCommand(const ArchiveLocation& location, std::ostream& out, std::ostream& err) {
    if (location.conninfo.empty()) {
        if (!IsNewFile(location)) {
            err << "Il file " << location.path.string()
                << " esiste già: --init-archive crea soltanto un archivio nuovo.\n";
            return kRefused;
        }
        if (!NewSqliteArchive(location.path, err)) return kDatabaseError;
        out << "Archivio nuovo pronto. File: " << location.path.string() << "\n";
        return 0;
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

int CopyCommand(const std::string& fromAddress, const std::string& toAddress,
                bool renameDuplicates, std::ostream& out, std::ostream& err) {
    StderrMessageBoxes boxes(err);
    auto from = ADO_connConnectDB(fromAddress, "", "", boxes);
    if (!from) return kDatabaseError;
    std::optional<std::vector<ContractName>> renamed;
    try {
        renamed = RenamesForCopy(*from, renameDuplicates, err);
    } catch (const DatabaseError& failure) {
        err << ErrorLine(failure.Error()) << "\n";
        return kDatabaseError;
    }
    if (!renamed) return kRefused;
    const auto toLocation = LocationOfAddress(toAddress);
    const bool newFile = IsNewFile(toLocation);
    auto to = newFile ? NewSqliteArchive(toLocation.path, err)
                      : ADO_connConnectDB(toAddress, "", "", boxes);
    if (!to) return kDatabaseError;
    const auto copied = CopyArchive(*from, *to, *renamed);
    if (!copied.ok) {
        to.reset();
        std::error_code error;
        if (newFile) fs::remove(toLocation.path, error);
        return Finish(copied, err);
    }
    std::string json = "{";
    for (const auto& [table, count] : copied.counts) {
        json += (json.size() > 1 ? ", " : "") + JsonString(table) + ": " + std::to_string(count);
    }
    out << json << "}\n";
    return 0;
}

}  // namespace

const std::set<std::string>& SetupFlagOptions() {
    static const std::set<std::string> flags = {"init-archive", "rename-duplicates"};
    return flags;
}

const std::set<std::string>& SetupPairOptions() {
    static const std::set<std::string> pairs = {"copy-archive"};
    return pairs;
}

bool AsksForSetup(const CommandLine& line) {
    return line.Has("init-archive") || line.Has("copy-archive") || line.Has("rename-duplicates");
}

int RunSetupCommand(const CommandLine& line, const fs::path& programFolder, std::ostream& out,
                    std::ostream& err) {
    if (line.Has("init-archive") && line.Has("copy-archive")) {
        err << "Indicare uno solo fra --init-archive e --copy-archive.\n";
        return kRefused;
    }
    if (line.Has("rename-duplicates") && !line.Has("copy-archive")) {
        err << "--rename-duplicates si usa solo con --copy-archive.\n";
        return kRefused;
    }
    if (line.Has("copy-archive")) {
        return CopyCommand(*line.Value("copy-archive"), *line.SecondValue("copy-archive"),
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
