#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quotaplan {

class DesktopShell;
class MessageBoxes;

// frmAbout: the program's name, description and version; a click on the picture opens
// the maker's product page, "Chiudi" closes the box.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(DesktopShell& shell, MessageBoxes& boxes, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DesktopShell& shell_;
    MessageBoxes& boxes_;
};

}  // namespace quotaplan
