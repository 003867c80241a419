#include "ui/lookup_editor.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "common/message_boxes.h"
#include "data/db_error.h"
#include "common/name_key.h"
#include "ui/window_archive.h"

namespace quotaplan {
namespace {

constexpr const char* kTitle = "Errore";
// The entry of the category list that takes a type's category away.
constexpr const char* kNoCategory = "(nessuna)";

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<std::int32_t> IdOf(const std::string& text) {
    std::int32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id <= 0) return std::nullopt;
    return id;
}

constexpr const char* kTypesTable = "supTipologia";
constexpr const char* kReferenceRatesTable = "supTxRiferimento";

}  // namespace

std::string LookupTableOf(const std::string& tableEntry) { return "sup" + tableEntry; }

void LookupEditor::Message(const char* text) { ShowMessage(boxes_, text, kTitle); }

template <typename Query>
std::optional<long long> LookupEditor::Checked(Query query) {
    try {
        return query();
    } catch (const DatabaseError& failure) {
        ShowMessage(boxes_, ErrorLine(failure.Error()) + "\n", "");
    } catch (const std::exception& failure) {
        ShowMessage(boxes_, std::string(failure.what()) + "\n", "");
    }
    return std::nullopt;
}

LookupCommandEnd LookupEditor::Add(const LookupPanel& panel) {
    if (panel.tableEntry.empty()) {
        Message("Selezionare la tabella a cui aggiungere il valore. Inserimento non riuscito.");
        return {};
    }
    // A value of blanks alone would be stored as an empty description.
    const std::string text = Trimmed(panel.value);
    if (text.empty()) {
        Message("Digitare un valore. Inserimento non riuscito.");
        return {};
    }
    const std::string table = LookupTableOf(panel.tableEntry);
    // Checked on the text as it will be stored, so " Leasing " cannot slip in beside
    // "Leasing".
    const auto count =
        Checked([&] { return archive_.CountLookupValues(table, text, std::nullopt); });
    if (!count) return {};
    if (*count > 0) {
        Message("Descrizione già esistente. Inserimento non riuscito.");
        return {};
    }
    const bool added = archive_.AddLookupValue(table, text);
    return {true, panel.tableEntry, added};
}

LookupCommandEnd LookupEditor::Rename(const LookupPanel& panel) {
    const auto id = IdOf(panel.valueId);
    if (!id) {
        Message("Selezionare un valore da modificare.");
        return {true, panel.tableEntry, false};
    }
    const std::string table = LookupTableOf(panel.tableEntry);
    const LookupCommandEnd refreshOnly{true, panel.tableEntry, false};
    const std::string text = Trimmed(panel.value);
    if (text.empty()) {
        Message("Digitare un valore valido. Modifica non riuscita.");
        return refreshOnly;
    }
    const auto count = Checked([&] { return archive_.CountLookupValues(table, text, *id); });
    if (!count) return refreshOnly;
    if (*count > 0) {
        Message("Descrizione già esistente. Inserimento non riuscito.");
        return refreshOnly;
    }
    const bool renamed = archive_.RenameLookupValue(table, *id, text);
    return {true, panel.tableEntry, renamed};
}

LookupCommandEnd LookupEditor::Delete(const LookupPanel& panel) {
    const auto id = IdOf(panel.valueId);
    if (!id) {
        Message("Selezionare un valore dalla lista dei valori. Cancellazione non riuscita.");
        return {true, panel.tableEntry, false};
    }
    const std::string table = LookupTableOf(panel.tableEntry);
    // Refusals and a "No" leave the panel and the form as they were: no refresh.
    if (table == kTypesTable) {
        const auto used = Checked([&] { return archive_.CountContractsOfType(*id); });
        if (!used) return {};
        if (*used > 0) {
            Message("Tipologia già assegnata ad un contratto. Cancellazione non riuscita.");
            return {};
        }
    }
    // A contract would keep the ID of a rate name that no longer exists and lose it from
    // its form, as it would a deleted financing type.
    if (table == kReferenceRatesTable) {
        const auto used = Checked([&] { return archive_.CountContractsOfReferenceRate(*id); });
        if (!used) return {};
        if (*used > 0) {
            Message(
                "Tasso di riferimento già assegnato ad un contratto. Cancellazione non riuscita.");
            return {};
        }
    }
    // The question names the value the ID stands for, which is what goes, whatever
    // txtValue shows by now.
    const auto value = archive_.LookupValueText(table, *id);
    if (!value) {
        Message("Selezionare un valore dalla lista dei valori. Cancellazione non riuscita.");
        return {true, panel.tableEntry, false};
    }
    const std::string question =
        "Cancellare \"" + *value + "\" dalla tabella " + panel.tableEntry + "?";
    if (AskYesNo(boxes_, question, "") != BoxAnswer::Yes) return {};
    const bool deleted = archive_.DeleteLookupValue(table, *id);
    return {true, panel.tableEntry, deleted};
}

std::string LookupEditor::ValueIdOf(const std::string& tableEntry, const std::string& value) {
    if (tableEntry.empty()) return {};
    const auto id = archive_.LookupValueId(LookupTableOf(tableEntry), value);
    return id ? std::to_string(*id) : std::string();
}

bool LookupEditor::AssignUsuryCategory(const LookupPanel& panel) {
    const auto id = IdOf(panel.valueId);
    if (LookupTableOf(panel.tableEntry) != kTypesTable || !id) {
        Message("Selezionare una tipologia dalla lista dei valori.");
        return false;
    }
    const auto type = archive_.LookupValueText(kTypesTable, *id);
    if (!type) return false;
    std::vector<std::string> categories;
    std::string current;
    if (!Checked([&] {
            categories = archive_.UsuryCategories();
            current = archive_.UsuryCategoryOfType(*type).value_or(std::string());
            return 0LL;
        })) {
        return false;
    }
    if (categories.empty() && current.empty()) {
        Message("L'archivio non ha ancora soglie d'usura: importarle con \"Soglie d'usura…\".");
        return false;
    }
    // The type's category is chosen when the list opens, as the table writes it; one kept from
    // thresholds since deleted stays listed, so that OK keeps it.
    if (!current.empty()) {
        const auto listed = std::find_if(categories.begin(), categories.end(), [&](const auto& c) {
            return SameName(c, current);
        });
        if (listed == categories.end()) {
            categories.insert(categories.begin(), current);
        } else {
            current = *listed;
        }
    }
    const auto chosen = boxes_.AskChoice({"Categoria d'usura della tipologia \"" + *type + "\":",
                                          "Categoria d'usura", categories, current, kNoCategory});
    if (!chosen) return false;
    return archive_.SetUsuryCategoryOfType(*type, *chosen);
}

}  // namespace quotaplan
