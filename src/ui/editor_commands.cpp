#include "ui/editor_commands.h"

namespace quotaplan {

bool ShowImport(MessageBoxes& boxes, const SeriesImport& imported) {
    switch (imported.status) {
        case SeriesImport::Status::Imported:
            ShowMessage(boxes, imported.message, "");
            return true;
        case SeriesImport::Status::Refused:
            ShowMessage(boxes, imported.message, kEditorErrorTitle);
            break;
        case SeriesImport::Status::Failed:
            break;
    }
    return false;
}

}  // namespace quotaplan
