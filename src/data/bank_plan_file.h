#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/sheet_cells.h"
#include "engine/plan_comparison.h"

namespace quotaplan {

// What a column of a bank's plan holds.
enum class BankColumn { Skip, Number, DueDate, Instalment, Capital, Interest, Residual };

// The column named on the command line (--columns): N, SCADENZA, RATA, CAPITALE, INTERESSI,
// RESIDUO, or "-" for one to skip (letter case aside); nullopt for any other name.
std::optional<BankColumn> BankColumnNamed(std::string_view name);
// The name --columns gives it ("N", "SCADENZA", ..., "-"); BankColumnNamed reads it back.
const char* BankColumnName(BankColumn column);
// Its caption in the mapping dialog: "N.", "Scadenza", "Rata", "Quota capitale",
// "Quota interessi", "Debito residuo", "(non usata)".
const char* BankColumnCaption(BankColumn column);
// Every choice, in the dialog's order.
const std::vector<BankColumn>& AllBankColumns();

// Reads a --columns list "N,SCADENZA,RATA,-,..." in the file's column order; the message
// (Italian) for a name it does not know.
std::variant<std::vector<BankColumn>, std::string> ReadColumnList(std::string_view list);

// True when the sheet's first row is a header: no cell of it holds a digit.
bool HasHeaderRow(const SheetCells& sheet);

// The columns guessed from a header row's Italian captions ("N.", "Rata n.", "Scadenza",
// "Data", "Rata", "Importo", "Importo rata", "Quota capitale", "Quota interessi", "Debito
// residuo" and their like), Skip where nothing fits; a column is guessed once, the first
// header that names it. Without a header, the usual order N, Scadenza, Rata, Capitale,
// Interessi, Residuo over as many columns as the first row has.
std::vector<BankColumn> GuessBankColumns(const SheetCells& sheet);

// The key a mapping is remembered under: the header's captions (NameKey, joined by "|"), or
// the number of columns for a file without a header ("5 colonne").
std::string BankLayoutKey(const SheetCells& sheet);

// The plan's rows read by the mapping, the header row (HasHeaderRow) and "Totale" lines left
// out:
//   N.         a whole number, alone or in a caption ("1° Rata");
//   Scadenza   dd/mm/yyyy, YYYY-MM-DD, or a workbook's date serial (days since 30/12/1899);
//   amounts    in euro to the cent, a column read as Italian ("1.500,25", points grouping
//              thousands) when any of its cells holds a comma, else as plain ("1500.25"); a
//              "€" and blanks are ignored; more decimals are rounded half up to the cent.
// An empty cell leaves its figure out of that row. Refused with the line and column named,
// nothing read ("Riga 7, colonna 3 (Rata): importo non valido \"12,3,4\". Nessuna riga
// importata."): a cell that does not read, a mapping without any amount, a file without rows.
std::variant<std::vector<ReviewRow>, SheetRefusal> ReadBankPlanRows(
    const SheetCells& sheet, const std::vector<BankColumn>& columns);

// ReadSheetFile then ReadBankPlanRows: the bank's plan of a CSV, .xls or .xlsx file.
std::variant<std::vector<ReviewRow>, SheetRefusal> ReadBankPlanFile(
    const std::filesystem::path& file, const std::vector<BankColumn>& columns);

}  // namespace quotaplan
