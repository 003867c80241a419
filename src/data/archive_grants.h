#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace quotaplan {

// The privileges other roles hold on the archive's tables and views of a PostgreSQL server,
// so that an upgrade that replaces a view or adds a table leaves every role able to do what
// it could before. The owner's own privileges are not listed: they come with ownership.

struct RelationGrant {
    std::string relation;   // the table or view, as the archive spells it
    std::string privilege;  // SELECT, INSERT, UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER
    std::string grantee;    // the role, quoted for SQL, or PUBLIC
    bool grantable = false;
};

// Every grant on the tables and views of the archive's schema. Throws DatabaseError.
std::vector<RelationGrant> ArchiveGrants(Database& db);

// The server's GRANT statements giving the grants, in the engine's own SQL.
std::string GrantStatements(const std::vector<RelationGrant>& grants);

// The grants of the relation `model`, made over to `relation`; with `selectOnly`, only the
// SELECT ones (a view is not written to).
std::vector<RelationGrant> GrantsLike(const std::vector<RelationGrant>& grants,
                                      std::string_view model, std::string_view relation,
                                      bool selectOnly);

// The names of the archive's views. Throws DatabaseError.
std::vector<std::string> ArchiveViews(Database& db);

// True when the connection's role may change the archive's schema: it owns (or belongs to the
// owner of) every table and view of the schema and may create tables in it. Always true for
// a writable SQLite file. Throws DatabaseError.
bool MayChangeSchema(Database& db);

}  // namespace quotaplan
