#include "data/archive_grants.h"

namespace quotaplan {
namespace {

constexpr const char* kSchema = "(SELECT oid FROM pg_namespace WHERE nspname = current_schema())";

std::string QuotedName(std::string_view name) {
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::vector<RelationGrant> ArchiveGrants(Database& db) {
    std::vector<RelationGrant> grants;
    if (db.Engine()->Kind() != EngineKind::Postgresql) return grants;
    Recordset rows(db, std::string("SELECT c.relname, g.privilege_type, "
                                   "CASE WHEN g.grantee = 0 THEN 'PUBLIC' "
                                   "ELSE quote_ident(pg_get_userbyid(g.grantee)) END, "
                                   "CASE WHEN g.is_grantable THEN 1 ELSE 0 END "
                                   "FROM pg_class AS c, aclexplode(c.relacl) AS g "
                                   "WHERE c.relnamespace = ") +
                           kSchema +
                           " AND c.relkind IN ('r', 'v', 'p') AND g.grantee <> c.relowner "
                           "ORDER BY c.relname, 3, g.privilege_type");
    for (; !rows.Eof(); rows.MoveNext()) {
        grants.push_back({rows.Value(0).ToText(), rows.Value(1).ToText(), rows.Value(2).ToText(),
                          rows.Value(3).ToLong() != 0});
    }
    return grants;
}

std::string GrantStatements(const std::vector<RelationGrant>& grants) {
    std::string sql;
    for (const auto& grant : grants) {
        sql += "GRANT " + grant.privilege + " ON " + QuotedName(grant.relation) + " TO " +
               grant.grantee + (grant.grantable ? " WITH GRANT OPTION;\n" : ";\n");
    }
    return sql;
}

std::vector<RelationGrant> GrantsLike(const std::vector<RelationGrant>& grants,
                                      std::string_view model, std::string_view relation,
                                      bool selectOnly) {
    std::vector<RelationGrant> like;
    for (const auto& grant : grants) {
        if (grant.relation != model || (selectOnly && grant.privilege != "SELECT")) continue;
        like.push_back({std::string(relation), grant.privilege, grant.grantee, grant.grantable});
    }
    return like;
}

std::vector<std::string> ArchiveViews(Database& db) {
    std::vector<std::string> views;
    if (db.Engine()->Kind() != EngineKind::Postgresql) return views;
    for (Recordset rows(db, std::string("SELECT relname FROM pg_class WHERE relnamespace = ") +
                                kSchema + " AND relkind = 'v' ORDER BY relname");
         !rows.Eof(); rows.MoveNext()) {
        views.push_back(rows.Value(0).ToText());
    }
    return views;
}

bool MayChangeSchema(Database& db) {
    if (db.IsReadOnly()) return false;
    if (db.Engine()->Kind() != EngineKind::Postgresql) return true;
    Recordset answer(
        db, std::string("SELECT CASE WHEN has_schema_privilege(current_schema(), 'CREATE') "
                        "AND NOT EXISTS (SELECT 1 FROM pg_class WHERE relnamespace = ") +
                kSchema +
                " AND relkind IN ('r', 'v', 'p') AND NOT pg_has_role(relowner, 'USAGE')) "
                "THEN 1 ELSE 0 END");
    return answer.Value(0).ToLong() == 1;
}

}  // namespace quotaplan
