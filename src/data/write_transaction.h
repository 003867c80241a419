#pragma once

#include "common/message_boxes.h"
#include "data/database.h"
#include "data/execute_sql.h"

namespace quotaplan {

// Begins a write transaction at once (BEGIN IMMEDIATE, so a second writer waits here and
// not halfway through) and rolls it back silently unless committed. A failure to begin or
// to commit is shown through ExecuteSql.
class WriteTransaction {
public:
    WriteTransaction(Database& db, MessageBoxes& boxes)
        : db_(db), boxes_(boxes), began_(ExecuteSql(db, boxes, "BEGIN IMMEDIATE")) {}
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    ~WriteTransaction() { Rollback(); }
    // Ends the transaction without writing; a box shown afterwards then holds no lock.
    void Rollback() {
        if (began_ && !committed_) {
            db_.Execute("ROLLBACK");
            db_.ClearErrors();
        }
        began_ = false;
    }
    bool Began() const { return began_; }
    bool Commit() {
        committed_ = ExecuteSql(db_, boxes_, "COMMIT");
        return committed_;
    }

private:
    Database& db_;
    MessageBoxes& boxes_;
    bool began_;
    bool committed_ = false;
};

}  // namespace quotaplan
