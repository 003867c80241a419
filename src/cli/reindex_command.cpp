#include "cli/reindex_command.h"

#include <ostream>

#include "cli/archive_command.h"
#include "cli/json_text.h"
#include "common/clock.h"
#include "common/stderr_message_boxes.h"
#include "data/db_error.h"
#include "data/portfolio_reindex.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

}  // namespace

int RunReindexCommand(const CommandLine& line, const std::filesystem::path& programFolder,
                      std::ostream& out, std::ostream& err) {
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, programFolder, boxes);
    if (!db) return kDatabaseError;
    ReindexScope scope;
    try {
        for (const auto& [option, table, target] :
             {std::tuple{"ref-rate", "supTxRiferimento", &scope.referenceRate},
              std::tuple{"type", "supTipologia", &scope.type}}) {
            const auto named = line.Value(option);
            if (!named) continue;
            if (GetIdByDescription(*db, table, *named) == 0) {
                err << "Valore non presente nell'archivio per --" << option << ": \"" << *named
                    << "\"\n";
                return kRefused;
            }
            *target = *named;
        }
    } catch (const DatabaseError& error) {
        err << error.Number() << " - " << error.Description() << "\n";
        return kDatabaseError;
    }
    const ReindexReport report = ReindexPortfolio(*db, scope, Today(), {});
    std::string skipped;
    for (const std::string& why : report.skipped) {
        skipped += (skipped.empty() ? "" : ", ") + JsonString(why);
    }
    out << "{\"contracts\": " << report.contracts << ", \"changed\": " << report.changed
        << ", \"rows\": " << report.rows << ", \"skipped\": [" << skipped << "]}\n";
    if (report.failure) {
        err << report.failure->number << " - " << report.failure->description << "\n";
        return kDatabaseError;
    }
    return 0;
}

}  // namespace quotaplan
