#include "ui/qt_message_boxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quotaplan {
namespace {

QMessageBox::Icon IconOf(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Exclamation:
            return QMessageBox::Warning;
        case BoxIcon::Critical:
            return QMessageBox::Critical;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

BoxAnswer QtMessageBoxes::Show(const BoxRequest& box) {
    QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
    const bool yesNo = box.buttons == BoxButtons::YesNo;
    QMessageBox message(IconOf(box.icon), QString::fromStdString(box.title),
                        QString::fromStdString(box.prompt),
                        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (yesNo) {
        message.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        message.setDefaultButton(QMessageBox::Yes);
    }
    const int pressed = message.exec();
    if (!yesNo) return BoxAnswer::Ok;
    return pressed == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

std::optional<std::string> QtMessageBoxes::AskText(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& defaultText) {
    QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(defaultText));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::string> QtMessageBoxes::AskOpenFile(const std::string& title,
                                                       const std::string& filter) {
    QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
    const QString file = QFileDialog::getOpenFileName(parent, QString::fromStdString(title),
                                                      QString(), QString::fromStdString(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

}  // namespace quotaplan
