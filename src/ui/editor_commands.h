#pragma once

#include <exception>
#include <string>

#include "common/message_boxes.h"
#include "data/db_error.h"
#include "data/reference_rate_values.h"

namespace quotaplan {

// The title of the refusals of the table editors.
inline constexpr const char* kEditorErrorTitle = "Errore";

// Runs a command of a table editor: a database error, or any other failure, is shown in
// words in a box titled "Errore", and the command counts as not done. Returns what the step
// returned, or false.
template <typename Step>
bool GuardedCommand(MessageBoxes& boxes, Step step) {
    try {
        return step();
    } catch (const DatabaseError& failure) {
        ShowMessage(boxes, ErrorLine(failure.Error()), kEditorErrorTitle);
    } catch (const std::exception& failure) {
        ShowMessage(boxes, failure.what(), kEditorErrorTitle);
    }
    return false;
}

// Says how an import of a data file ended: what was imported, or why nothing was (a
// database error has been shown already). True when it imported.
bool ShowImport(MessageBoxes& boxes, const SeriesImport& imported);

}  // namespace quotaplan
