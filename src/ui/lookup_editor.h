#pragma once

#include <optional>
#include <string>

namespace quotaplan {

class MessageBoxes;
class WindowArchive;

// What the lookup-table panel shows when a command starts: the selected entry of
// lstSupTab ("" when none), txtValue and txtValueID.
struct LookupPanel {
    std::string tableEntry;  // "Tipologia" for supTipologia
    std::string value;
    std::string valueId;
};

// How a command of the panel ends.
struct LookupCommandEnd {
    bool refresh = false;  // tree, table list, combos, New, then the reselection
    // The entry of lstSupTab selected after the refresh: the table the user had chosen, so
    // that "Valori" never switches under the user's hand; "" when none was chosen, and then
    // the second entry is selected.
    std::string tableAfterRefresh;
    bool valueCleared = false;  // txtValue and txtValueID emptied, lstSupVal refilled
};

// The rules of the lookup-table editor ("Nuovo", "Modifica", "Cancella"), apart from the
// widgets: each reads the panel, checks, changes the table through the archive and says
// what the panel must do next. Messages are OK boxes titled "Errore"; a database error
// in a duplicate or use check is shown in words and the command stops there. A value that
// a contract uses, as its financing type or its reference rate, is never deleted, and any
// other delete is asked first.
class LookupEditor {
public:
    LookupEditor(WindowArchive& archive, MessageBoxes& boxes) : archive_(archive), boxes_(boxes) {}

    LookupCommandEnd Add(const LookupPanel& panel);
    LookupCommandEnd Rename(const LookupPanel& panel);
    LookupCommandEnd Delete(const LookupPanel& panel);

    // "Categoria d'usura…": the usury category of the financing type chosen in the panel
    // (table Tipologia, a value with its ID), picked from a list of the categories of the
    // usury table (and the type's present one, should the table no longer hold it), or
    // "(nessuna)" to take it away; then stored. An archive without thresholds is said so and
    // nothing is asked. True when stored.
    bool AssignUsuryCategory(const LookupPanel& panel);

    // The ID text of a value clicked in lstSupVal: "" when none matches or the query fails.
    std::string ValueIdOf(const std::string& tableEntry, const std::string& value);

private:
    // The count of a check, or nullopt when the query failed (the error has been shown).
    template <typename Query>
    std::optional<long long> Checked(Query query);
    void Message(const char* text);

    WindowArchive& archive_;
    MessageBoxes& boxes_;
};

// "sup" followed by the entry of lstSupTab.
std::string LookupTableOf(const std::string& tableEntry);

}  // namespace quotaplan
