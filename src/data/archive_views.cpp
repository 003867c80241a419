#include "data/archive_views.h"

#include <algorithm>

#include "data/archive_grants.h"
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

namespace {

void Run(Database& db, bool ran) {
    if (ran) return;
    DbError error = db.Errors().empty() ? DbError{} : db.Errors().back();
    db.ClearErrors();
    throw DatabaseError(std::move(error));
}

// On a server the views are dropped and made again, which takes their grants with them:
// each view gets back the grants it had, and one that is new those of tabContratti for
// reading, all in the script's transaction.
void ReplaceServerViews(Database& db, std::string_view script) {
    const auto grants = ArchiveGrants(db);
    const auto viewsBefore = ArchiveViews(db);
    const auto commit = script.rfind("COMMIT;");
    // The script's transaction stays open for the grants.
    Run(db, db.ExecuteScript(script.substr(0, commit)));
    try {
        std::vector<RelationGrant> restored;
        for (const auto& view : ArchiveViews(db)) {
            const bool existed =
                std::find(viewsBefore.begin(), viewsBefore.end(), view) != viewsBefore.end();
            const auto like = existed ? GrantsLike(grants, view, view, false)
                                      : GrantsLike(grants, "tabContratti", view, true);
            restored.insert(restored.end(), like.begin(), like.end());
        }
        if (!restored.empty()) Run(db, db.ExecuteScript(GrantStatements(restored)));
        Run(db, db.Execute("COMMIT"));
    } catch (const DatabaseError&) {
        db.Execute("ROLLBACK");
        db.ClearErrors();
        throw;
    }
}

}  // namespace

void RefreshSummaryViews(Database& db) {
    if (db.IsReadOnly() || SummaryViewsVersion(db) >= kSummaryViewsVersion) return;
    // Like the upgrade, the views' script is not cut short by the command timeout.
    const WithoutCommandTimeout unlimited(db);
    // The script checks nothing itself: two programs opening an old archive at once each
    // replace the views, one after the other, with the same ones.
    const std::string_view script = ArchiveViewsSql(db.Engine()->Kind());
    if (db.Engine()->Kind() == EngineKind::Postgresql) {
        ReplaceServerViews(db, script);
        return;
    }
    Run(db, db.ExecuteScript(script));
}

}  // namespace quotaplan
