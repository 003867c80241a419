#include "data/archive_views.h"

#include "data/archive_sql.h"

namespace quotaplan {

int SummaryViewsVersion(Database& db) {
    try {
        Recordset stamp(db, "SELECT Versione FROM qryVersioneViste");
        return stamp.Eof() ? 0 : static_cast<int>(stamp.Value(0).ToLong());
    } catch (const DatabaseError&) {
        // Views older than the stamp: no such view.
        db.ClearErrors();
        return 0;
    }
}

void RefreshSummaryViews(Database& db) {
    if (db.IsReadOnly() || SummaryViewsVersion(db) >= kSummaryViewsVersion) return;
    // Like the upgrade, the views' script is not cut short by the command timeout.
    const WithoutCommandTimeout unlimited(db);
    // The script checks nothing itself: two programs opening an old archive at once each
    // replace the views, one after the other, with the same ones.
    if (db.ExecuteScript(ArchiveViewsSql(db.Engine()->Kind()))) return;
    DbError error = db.Errors().empty() ? DbError{} : db.Errors().back();
    db.ClearErrors();
    throw DatabaseError(std::move(error));
}

}  // namespace quotaplan
