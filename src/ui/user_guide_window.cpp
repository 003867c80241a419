#include "ui/user_guide_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quotaplan {

UserGuideWindow::UserGuideWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmGuida"));
    setWindowTitle(QStringLiteral("Guida di Quotaplan"));
    txtGuida = new QTextBrowser(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setAccessibleName(QStringLiteral("Guida di Quotaplan"));
    // A link out of the guide goes to the desktop's browser, never loaded here.
    txtGuida->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtGuida);
    resize(800, 700);
}

bool UserGuideWindow::Open(const std::filesystem::path& page) {
    const QFileInfo file(QString::fromStdString(page.string()));
    if (!file.isFile() || !file.isReadable()) return false;
    txtGuida->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    return !txtGuida->document()->isEmpty();
}

}  // namespace quotaplan
