#include "data/contract_names.h"

#include <algorithm>
#include <map>
#include <set>

#include "common/name_key.h"
#include "common/utf8.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

// The description's limit in the contract form.
constexpr std::size_t kDescriptionCharacters = 50;

std::string Literal(std::string_view text) { return FormatSqlValue(std::string(text), kTypeText); }

// The text cut to at most `characters` code points.
std::string FirstCharacters(std::string_view text, std::size_t characters) {
    std::string out;
    std::size_t count = 0;
    for (const char32_t code : DecodeUtf8(text)) {
        if (count++ == characters) break;
        AppendUtf8(out, code);
    }
    return out;
}

// Throws the error the statement listed when it did not run.
void Run(Database& db, bool ran) {
    if (ran) return;
    DbError error = db.Errors().empty() ? DbError{} : db.Errors().back();
    db.ClearErrors();
    throw DatabaseError(std::move(error));
}

}  // namespace

std::vector<ContractName> ReadContractNames(Database& db) {
    std::vector<ContractName> names;
    for (Recordset rows(db, "SELECT ID, DescBene FROM tabContratti ORDER BY ID"); !rows.Eof();
         rows.MoveNext()) {
        names.push_back({rows.Value(0).ToLong(), NullToEmpty(rows.Value(1))});
    }
    return names;
}

std::vector<NameClash> NameClashes(const std::vector<ContractName>& contracts) {
    std::map<std::string, const ContractName*> firstOfKey;
    std::vector<const ContractName*> byId;
    for (const auto& contract : contracts) byId.push_back(&contract);
    std::sort(byId.begin(), byId.end(),
              [](const ContractName* a, const ContractName* b) { return a->id < b->id; });
    std::vector<NameClash> clashes;
    for (const ContractName* contract : byId) {
        const auto [place, first] = firstOfKey.emplace(NameKey(contract->name), contract);
        if (!first) clashes.push_back({*place->second, *contract});
    }
    return clashes;
}

std::string ClashLines(const std::vector<NameClash>& clashes) {
    std::string lines;
    for (const auto& clash : clashes) {
        lines += "  " + std::to_string(clash.first.id) + " \"" + clash.first.name + "\" e " +
                 std::to_string(clash.later.id) + " \"" + clash.later.name + "\"\n";
    }
    return lines;
}

std::vector<ContractName> DistinctNames(const std::vector<ContractName>& contracts) {
    std::set<std::string> taken;
    for (const auto& contract : contracts) taken.insert(NameKey(contract.name));
    std::vector<ContractName> renamed;
    for (const auto& clash : NameClashes(contracts)) {
        for (int number = 2;; ++number) {
            const std::string suffix = " (" + std::to_string(number) + ")";
            const std::string name =
                FirstCharacters(clash.later.name, kDescriptionCharacters - suffix.size()) + suffix;
            if (taken.insert(NameKey(name)).second) {
                renamed.push_back({clash.later.id, name});
                break;
            }
        }
    }
    return renamed;
}

std::string KeptClashKey(std::string_view key, std::int32_t id) {
    return std::string(key) + "\t" + std::to_string(id);
}

std::string NameTakenCondition(std::string_view key) {
    // The kept clash keys of the name lie between the key with a tab and the key with a line
    // feed, the next code: one range of the unique index.
    const std::string column = kNameKeyColumn;
    return "(" + column + " = " + Literal(key) + " OR (" + column +
           " >= " + Literal(std::string(key) + "\t") + " AND " + column + " < " +
           Literal(std::string(key) + "\n") + "))";
}

std::vector<NameClash> StoreNameKeys(Database& db, const std::vector<ContractName>& renamed) {
    std::map<std::int32_t, std::string> stored;
    std::vector<ContractName> contracts;
    for (Recordset rows(db, std::string("SELECT ID, DescBene, ") + kNameKeyColumn +
                                " FROM tabContratti ORDER BY ID");
         !rows.Eof(); rows.MoveNext()) {
        const std::int32_t id = rows.Value(0).ToLong();
        contracts.push_back({id, NullToEmpty(rows.Value(1))});
        if (!rows.Value(2).IsNull()) stored[id] = rows.Value(2).ToText();
    }
    const std::map<std::int32_t, std::string> newNames = [&] {
        std::map<std::int32_t, std::string> names;
        for (const auto& contract : renamed) names[contract.id] = contract.name;
        return names;
    }();
    for (auto& contract : contracts) {
        if (const auto found = newNames.find(contract.id); found != newNames.end()) {
            contract.name = found->second;
        }
    }
    const auto clashes = NameClashes(contracts);
    std::set<std::int32_t> later;
    for (const auto& clash : clashes) later.insert(clash.later.id);

    struct Change {
        std::int32_t id;
        std::string key;
    };
    std::vector<Change> changes;
    for (const auto& contract : contracts) {
        std::string key = NameKey(contract.name);
        if (later.count(contract.id) != 0) key = KeptClashKey(key, contract.id);
        const auto was = stored.find(contract.id);
        if (newNames.count(contract.id) != 0 || was == stored.end() || was->second != key) {
            changes.push_back({contract.id, std::move(key)});
        }
    }
    // Keys moving between contracts must never meet under the unique index: those that
    // change are let go first.
    auto release = db.Prepare(std::string("UPDATE tabContratti SET ") + kNameKeyColumn +
                              " = Null WHERE ID = ?");
    auto write = db.Prepare(std::string("UPDATE tabContratti SET ") + kNameKeyColumn + " = ? " +
                            "WHERE ID = ?");
    auto rename = db.Prepare(std::string("UPDATE tabContratti SET DescBene = ? WHERE ID = ?"));
    Run(db, release.IsReady() && write.IsReady() && rename.IsReady());
    for (const auto& change : changes) {
        if (stored.count(change.id) == 0) continue;
        Run(db, release.Bind(1, DbValue::Integer(change.id)) && release.Step());
    }
    for (const auto& change : changes) {
        if (const auto found = newNames.find(change.id); found != newNames.end()) {
            Run(db, rename.Bind(1, DbValue::Text(found->second)) &&
                        rename.Bind(2, DbValue::Integer(change.id)) && rename.Step());
        }
        Run(db, write.Bind(1, DbValue::Text(change.key)) &&
                    write.Bind(2, DbValue::Integer(change.id)) && write.Step());
    }
    return clashes;
}

}  // namespace quotaplan
