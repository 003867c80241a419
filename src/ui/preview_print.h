#pragma once

#include <functional>

class QPrintPreviewDialog;
class QPrinter;

namespace quotaplan {

// The print command of a print preview, made to ask first: the print dialog opens over the
// preview (window-modal, named "dlgStampa") on the preview's printer, with the printer to
// choose, the copies and the pages (1 to the preview's page count). Accepted, `print` gets
// the printer as the dialog set it up, and the preview closes when it returns true; Annulla
// leaves the preview open. Without the command (a Qt that names it otherwise) nothing changes.
void AskBeforePrinting(QPrintPreviewDialog& preview, QPrinter& printer,
                       std::function<bool(QPrinter&)> print);

}  // namespace quotaplan
