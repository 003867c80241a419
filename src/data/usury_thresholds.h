#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/message_boxes.h"
#include "data/database.h"
#include "data/reference_rate_values.h"
#include "engine/usury.h"

namespace quotaplan {

// A row of tabSoglieUsura with its ID.
struct StoredUsuryRate {
    std::int32_t id = 0;
    UsuryRate rate;
};

// The quarterly table of the usury law (tabSoglieUsura) and the usury category of each
// financing type (supTipologia.CategoriaUsura), on the program's one connection, in the Jet
// dialect. A category, class of amounts and start date hold at most one row (SameUsuryClass):
// every write replaces the row it meets there. Statement errors of writes are shown through
// ExecuteSql; reads throw DatabaseError.
class UsuryThresholds {
public:
    UsuryThresholds(Database& db, MessageBoxes& boxes) : db_(db), boxes_(boxes) {}

    // Every row, by category (by its NameKey), then the latest quarter first, then the
    // class of amounts from the lowest.
    std::vector<StoredUsuryRate> All();
    // The rows of one category (SameName: letter case, accents, compatibility forms and
    // blanks aside, on every engine), for RateInForce.
    std::vector<UsuryRate> OfCategory(std::string_view category);
    // The categories the table holds, each once, in the order of All.
    std::vector<std::string> Categories();

    // Writes the rows, each over the row of its place, all in one transaction: any failure
    // leaves the table as it was.
    SeriesWrite Write(const std::vector<UsuryRate>& rows);
    // Gives the row `id` the values of `rate`, in one transaction (a row already at the new
    // place is replaced).
    SeriesWrite Replace(std::int32_t id, const UsuryRate& rate);
    // Deletes the row. True when the statement ran.
    bool Delete(std::int32_t id);

    // The usury category of the financing type named `typeName` (GetIdByDescription's name
    // rule); nullopt when the type has none or is not in the archive.
    std::optional<std::string> CategoryOfType(std::string_view typeName);
    // Sets it; an empty category takes it away. True when the statement ran; a failure is
    // shown as ExecuteSql shows it.
    bool SetCategoryOfType(std::string_view typeName, std::string_view category);

private:
    bool WriteRows(const std::vector<UsuryRate>& rows, SeriesWrite& result);

    Database& db_;
    MessageBoxes& boxes_;
};

// Reads a "Categoria;Importo da;Importo a;Dal;Al;TEGM" file (ReadUsuryThresholdFile) and
// writes its rows in one transaction. Refused: a bad file, nothing written; Failed: a database
// error, shown, nothing written; Imported: "Importate 12 soglie d'usura: 10 nuove, 2
// sostituite.".
SeriesImport ImportUsuryThresholds(UsuryThresholds& thresholds, const std::filesystem::path& file);

}  // namespace quotaplan
