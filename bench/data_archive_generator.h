#pragma once

// Builds benchmark archives from db/schema.sql, views.sql and seed.sql: an empty one, and a
// large one of generated contracts with full plans, kept in the temporary folder and reused
// by later runs of the same tables (it takes a while to build).

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "common/calendar_date.h"

namespace quotaplan::bench {

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error("archive generator: " + text);
    }
}

// The folder of schema.sql, views.sql and seed.sql.
inline std::filesystem::path SqlFolder() { return QUOTAPLAN_DB_DIR; }

// Creates a new archive at `file` (replacing any) from the SQL files of db/.
inline void CreateEmptyArchive(const std::filesystem::path& file) {
    std::filesystem::remove(file);
    sqlite3* handle = nullptr;
    if (sqlite3_open(file.c_str(), &handle) != SQLITE_OK) throw std::runtime_error("open");
    Exec(handle, ReadText(SqlFolder() / "schema.sql"));
    Exec(handle, ReadText(SqlFolder() / "views.sql"));
    Exec(handle, ReadText(SqlFolder() / "seed.sql"));
    sqlite3_close(handle);
}

// Replaces the summary views of an archive with those of db/views.sql, so that an archive
// kept from an earlier run measures the current ones.
inline void RefreshViews(const std::filesystem::path& file) {
    sqlite3* handle = nullptr;
    if (sqlite3_open(file.c_str(), &handle) != SQLITE_OK) throw std::runtime_error("open");
    Exec(handle, ReadText(SqlFolder() / "views.sql"));
    sqlite3_close(handle);
}

// An archive of `contracts` contracts with `instalments` monthly instalments each (plus the
// "Maxi." and "Riscatto" lines), starting in months spread over 2015-2025, written in one
// transaction. Built once and reused while it exists, with the current views; its name
// carries a digest of the tables and indexes, so a changed index gets an archive of its
// own, and the archives of other schemas of this shape are removed.
inline std::filesystem::path LargeArchive(int contracts, int instalments) {
    namespace fs = std::filesystem;
    const std::string shape =
        "quotaplan-bench-" + std::to_string(contracts) + "x" + std::to_string(instalments) + "-";
    const auto tables = ReadText(SqlFolder() / "schema.sql") + ReadText(SqlFolder() / "seed.sql");
    const auto file = fs::temp_directory_path() /
                      (shape + std::to_string(std::hash<std::string>{}(tables)) + ".mdb");
    if (fs::exists(file)) {
        RefreshViews(file);
        return file;
    }
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
        const auto name = entry.path().filename().string();
        if (name.starts_with(shape) && name.ends_with(".mdb")) fs::remove(entry.path());
    }
    const auto partial = std::filesystem::path(file.string() + ".partial");
    CreateEmptyArchive(partial);
    sqlite3* db = nullptr;
    sqlite3_open(partial.c_str(), &db);
    Exec(db, "PRAGMA synchronous=OFF; BEGIN");
    sqlite3_stmt* contract = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO tabContratti (ID, [ID Tipologia], DescBene, Valore, Maxicanone, "
        "Riscatto, Periodicita, NumRate, DataContratto, DataInizio, Tasso, "
        "[ID TassoRif], Spread, Anticipato, Semplice, SpeseContratto, SpeseAddebito, "
        "IntRiscatto) VALUES (?, ?, ?, 100000, 10000, 1000, 12, ?, ?, ?, ?, 1, 0.5, "
        "0, 0, 150, 2.5, 0)",
        -1, &contract, nullptr);
    sqlite3_stmt* line = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO tabPDA ([ID Leasing], Tipo, Data, Tasso, Importo, QInteressi, "
                       "QCapitale, DebitoRes) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &line, nullptr);
    const auto addLine = [&](int id, const char* tipo, CalendarDate date, double rate,
                             double amount, double interest, double capital, double debt) {
        const auto iso = date.Iso();
        sqlite3_bind_int(line, 1, id);
        sqlite3_bind_text(line, 2, tipo, -1, SQLITE_STATIC);
        sqlite3_bind_text(line, 3, iso.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(line, 4, rate);
        sqlite3_bind_double(line, 5, amount);
        sqlite3_bind_double(line, 6, interest);
        sqlite3_bind_double(line, 7, capital);
        sqlite3_bind_double(line, 8, debt);
        sqlite3_step(line);
        sqlite3_reset(line);
    };
    for (int id = 1; id <= contracts; ++id) {
        const auto start = CalendarDate::FromYmdCarrying(2015, 1 + id % 132, 1 + id % 28);
        const double rate = 2.0 + (id % 50) / 10.0;
        const std::string name = "Contratto generato " + std::to_string(id);
        sqlite3_bind_int(contract, 1, id);
        sqlite3_bind_int(contract, 2, 1 + id % 3);
        sqlite3_bind_text(contract, 3, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(contract, 4, instalments);
        sqlite3_bind_text(contract, 5, start.Iso().c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(contract, 6, start.Iso().c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(contract, 7, rate);
        sqlite3_bind_int(contract, 8, 1 + id % 5);
        sqlite3_step(contract);
        sqlite3_reset(contract);

        double debt = 90000;
        const double capital = debt / instalments;
        addLine(id, "Maxi.", start, 0, 10000, 0, 10000, debt);
        CalendarDate date = start;
        for (int k = 1; k <= instalments; ++k) {
            date = CalendarDate::FromYmdCarrying(start.Year(), start.Month() + k, start.Day());
            const double interest = debt * rate / 1200;
            debt -= capital;
            addLine(id, "Rata", date, rate, capital + interest, interest, capital, debt);
        }
        addLine(id, "Riscatto", date, 0, 1000, 0, 1000, 0);
    }
    sqlite3_finalize(contract);
    sqlite3_finalize(line);
    Exec(db, "COMMIT; ANALYZE");
    sqlite3_close(db);
    std::filesystem::rename(partial, file);
    return file;
}

}  // namespace quotaplan::bench
