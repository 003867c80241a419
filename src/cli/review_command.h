#pragma once

#include <iosfwd>

#include "cli/calc_options.h"
#include "cli/command_line.h"
#include "common/program_folder.h"

namespace quotaplan {

// The expert review on the command line (the ReviewRunner of the drawing program):
//   --import-legal-rates FILE   the "Dal;Al;Tasso" file into the archive's legal-rate table;
//                               prints {"legal_rates": n, "added": a, "replaced": r};
//   --bank-plan FILE [--columns N,SCADENZA,RATA,CAPITALE,INTERESSI,RESIDUO]
//                               reads the bank's plan (CSV, .xls, .xlsx; the columns named in
//                               the file's order, "-" to skip one, or guessed from its
//                               header) and prints its comparison with the plan to the cent of
//                               the contract --id N (where it is then stored) or of the
//                               calculation's options, or of the terms recovered from the
//                               bank's plan when neither gives a value: {"rows",
//                               "first_difference", "paid_more", "bank_paid", "ours_paid",
//                               "differences": [{"number", "field", "bank", "ours"}]} (and "terms"
//                               when recovered);
//   --recompute METHOD          accumulated | discounted | italian | interest-free: prints
//                               {"method", "instalment", "total_interest", "difference",
//                               "reference", "plan": [...]}, the difference against the bank's
//                               plan (given, or stored with --id) or else the contract's, and
//                               with --legal-interest-to YYYY-MM-DD "legal_interest";
//   --report ID [--out FOLDER]  writes the review's PDF report of the stored contract (the
//                               recomputations of --recompute, a comma list, or all four) into
//                               FOLDER (the Export folder when not given); prints its path.
// Exit status 0 done; 2 refused (a bad file with its line and column, a bad option, an unknown
// contract), nothing stored; 1 a database error or a report that could not be written.
int RunReviewCommand(const CommandLine& line, const CalcOptions& calc, const ProgramFiles& files,
                     std::ostream& out, std::ostream& err);

}  // namespace quotaplan
