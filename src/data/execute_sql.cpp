#include "data/execute_sql.h"

namespace quotaplan {

bool ExecuteSql(Database& db, MessageBoxes& boxes, std::string_view sql) {
    db.Execute(sql);
    return ReportStatementErrors(db, boxes);
}

bool ReportStatementErrors(Database& db, MessageBoxes& boxes) {
    if (db.Errors().empty()) return true;
    std::string message;
    for (const auto& error : db.Errors()) message += ErrorLine(error) + "\n";
    db.ClearErrors();
    ShowMessage(boxes, message, "");
    return false;
}

}  // namespace quotaplan
