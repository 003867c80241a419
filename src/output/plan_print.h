#pragma once

#include <string>
#include <vector>

#include "common/calendar_date.h"

class QPrinter;

namespace quotaplan {

// What the plan grid shows, handed over for printing.
struct GridPrintContent {
    std::vector<std::vector<std::string>> rows;  // the grid's cell texts, header row first
    int gridRowCount = 0;     // the grid's row count, header included (may exceed rows.size())
    std::string description;  // the contract description, for the title
    CalendarDate today;       // the date printed in every page head
};

enum class PrintCode {
    Printed,
    NothingToPrint,  // fewer than 3 grid rows: show as information
    PrinterError,    // no printer, or the printer failed: show as a critical error
};

struct [[nodiscard]] PrintResult {
    PrintCode code = PrintCode::Printed;
    std::string message;  // "", "Non ci sono righe da stampare" or "Errore della stampante"
    bool Ok() const { return code == PrintCode::Printed; }
};

// Page geometry, in millimetres from the top-left corner of the printable area.
inline constexpr double kPrintMarginMm = 20;  // each side of the grid area
inline constexpr double kPrintTitleTopMm = 10;
inline constexpr double kPrintDateTopMm = 16;

// Prints the grid on `printer`, page by page: on every page the title "Piano finanziario - "
// + description at 10 mm, the date "DD.MM.YYYY" at 16 mm, then the header row and as many
// grid rows as fit within the 20 mm margins. NothingToPrint when gridRowCount is below 3
// (nothing is printed); PrinterError when the printer cannot start, add a page or finish.
PrintResult PrintGrid(QPrinter& printer, const GridPrintContent& content);

// PrintGrid on the system's default printer; PrinterError when there is none.
PrintResult PrintGridOnDefaultPrinter(const GridPrintContent& content);

}  // namespace quotaplan
