#pragma once

#include <QWidget>
#include <filesystem>

class QTextBrowser;

namespace quotaplan {

// The user guide, the HTML page shipped with the program, in a window of its own: it needs
// neither a browser nor the network. The guide's links move within it; its pictures are read
// from the page's folder.
class UserGuideWindow : public QWidget {
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget* parent = nullptr);

    // Shows the page; false when it cannot be read.
    [[nodiscard]] bool Open(const std::filesystem::path& page);

    QTextBrowser* txtGuida = nullptr;
};

}  // namespace quotaplan
