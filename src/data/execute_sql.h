#pragma once

#include <string_view>

#include "common/message_boxes.h"
#include "data/database.h"

namespace quotaplan {

// Runs one changing statement. Returns true when it ran without error. Otherwise shows one
// OK box (ShowMessage, empty title) with one line per error of the connection's list, each
// the number, then the Italian text of the error table or " - " and the error's own
// description, each ending with a line feed; empties the list and returns false. Never
// throws.
bool ExecuteSql(Database& db, MessageBoxes& boxes, std::string_view sql);

// Reports the connection's error list as ExecuteSql does, for statements run another way
// (PreparedStatement). True when the list was empty.
bool ReportStatementErrors(Database& db, MessageBoxes& boxes);

}  // namespace quotaplan
