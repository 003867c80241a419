#pragma once

#include "common/desktop_shell.h"

namespace quotaplan {

// The desktop shell of the running program. Web addresses and files open through
// QDesktopServices (xdg-open on a Linux desktop), with whatever program the desktop
// associates with them.
//
// The text editor: $VISUAL, else $EDITOR, when it names a program found on the PATH and
// that program is a graphical editor able to run detached; otherwise the desktop's
// association for plain text (QDesktopServices on the file, which for a .txt file is the
// desktop's text editor). A terminal editor (vi, nano, ...) named in $EDITOR is not
// started: with no terminal around it would run invisibly and never end.
class QtDesktopShell : public DesktopShell {
public:
    bool OpenUrl(const std::string& url) override;
    bool OpenFile(const std::filesystem::path& file) override;
    bool OpenInTextEditor(const std::filesystem::path& file) override;
};

}  // namespace quotaplan
