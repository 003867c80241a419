#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>

#include "cli/calc_options.h"
#include "cli/command_line.h"
#include "common/message_boxes.h"
#include "data/database.h"
#include "data/reference_rate_values.h"

namespace quotaplan {

// The calculator's options for indexed contracts: --import-index FILE, and the flag
// --indexed. Both name their reference rate with --ref-rate.
const std::set<std::string>& IndexValueOptions();
const std::set<std::string>& IndexFlagOptions();

// Prints how an import of a data file ended: on `out` the JSON object that `countsName`
// opens ("{\"thresholds\"") with the number of rows, then "added" and "replaced"; on `err`
// why the file was refused. Returns the exit status: 0 imported, 2 refused, 1 a database
// error (shown already).
int PrintImport(const SeriesImport& imported, const std::string& countsName, std::ostream& out,
                std::ostream& err);

// --import-index FILE --ref-rate NAME on the open archive: the "Data;Valore" file written
// into the series of the reference rate (letter case aside) in one transaction. Prints
// {"ref_rate": name, "values": n, "added": a, "replaced": r}; returns the exit status:
// 0 done, 2 refused (no or unknown --ref-rate, a bad file: the Italian message naming the
// line, nothing imported), 1 a database error (shown through `boxes`, nothing imported).
int ImportIndexCommand(Database& db, MessageBoxes& boxes, const CommandLine& line,
                       std::ostream& out, std::ostream& err);

// --indexed: the rate list of the instalment calculation made from the series of the
// reference rate --ref-rate in the archive (IndexRates), as if given with --rates, and
// --rate set to its first index value (which may be 0 when --spread is not). Refused with
// exit status 2 and an Italian message: no --ref-rate, an unknown one, "Fisso", a rate
// without values or whose values start after the contract date, --rate or --rates given as
// well, another target than the instalment, no instalment count or periodicity. A database error, or an arithmetic one
// on an absurd value, gives exit status 1.
std::optional<CliFailure> IndexCalculation(Database& db, MessageBoxes& boxes,
                                           const CommandLine& line, CalcOptions& calc);

// IndexCalculation on the archive named by --db or configured beside the program; a
// connection that fails is shown on `err` and gives exit status 1 with no further text.
std::optional<CliFailure> IndexFromArchive(const CommandLine& line,
                                           const std::filesystem::path& programFolder,
                                           CalcOptions& calc, std::ostream& err);

}  // namespace quotaplan
