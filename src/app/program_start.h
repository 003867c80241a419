#pragma once

#include <optional>
#include <string>

#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "data/database.h"

namespace quotaplan {

// The two addresses the services shortcut points to.
struct ServicesShortcutAddresses {
    std::string productIndexUrl;
    std::string productPageUrl;
};

// The start-up steps between the single-instance guard and the main window: an installed
// program's data folder made ready (the default archive copied there at the first start),
// the configured archive opened, the lookup tables checked, and the services shortcut
// written into the data folder when missing. The open archive, or nullopt once the failure
// has been reported through the boxes (a data folder that cannot be made ready: its message,
// a line feed, "Indirizzo errore: PrepareProgramFiles").
std::optional<Database> OpenProgramArchive(const ProgramFiles& files,
                                           const ServicesShortcutAddresses& services,
                                           MessageBoxes& boxes);

}  // namespace quotaplan
