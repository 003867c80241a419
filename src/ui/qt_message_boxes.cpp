#include "ui/qt_message_boxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/choice_dialog.h"

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

// A window frame draws its title larger than the dialog text and in bold, beside the
// window's icon and its close, minimise and maximise buttons.
constexpr double kTitleFontScale = 1.25;
constexpr int kTitleBarControls = 4 * 32;

}  // namespace

int TitleBarWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * kTitleFontScale);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarControls;
}

std::unique_ptr<QMessageBox> BuildMessageBox(const BoxRequest& box, QWidget* parent) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (box.buttons == BoxButtons::YesNo) buttons = QMessageBox::Yes | QMessageBox::No;
    if (box.buttons == BoxButtons::YesNoCancel) {
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    auto message = std::make_unique<QMessageBox>(IconOf(box.icon),
                                                 QString::fromStdString(box.title),
                                                 QString::fromStdString(box.prompt), buttons, parent);
    if (box.buttons != BoxButtons::Ok) {
        message->button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        message->setDefaultButton(QMessageBox::Yes);
    }
    if (box.buttons == BoxButtons::YesNoCancel) {
        message->button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        message->setEscapeButton(QMessageBox::Cancel);
    }
    // QMessageBox sizes itself to its text whatever its minimum width says; a spacer as wide
    // as the title, across its grid, is what it listens to.
    if (auto* grid = qobject_cast<QGridLayout*>(message->layout())) {
        grid->addItem(new QSpacerItem(TitleBarWidth(message->windowTitle()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return message;
}

BoxAnswer QtMessageBoxes::Show(const BoxRequest& box) {
    QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
    const std::unique_ptr<QMessageBox> message = BuildMessageBox(box, parent);
    const int pressed = message->exec();
    switch (box.buttons) {
        case BoxButtons::Ok:
            return BoxAnswer::Ok;
        case BoxButtons::YesNo:
            return pressed == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
        case BoxButtons::YesNoCancel:
            break;
    }
    if (pressed == QMessageBox::Yes) return BoxAnswer::Yes;
    return pressed == QMessageBox::No ? BoxAnswer::No : BoxAnswer::Cancel;
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

std::optional<std::string> QtMessageBoxes::AskChoice(const ChoiceRequest& request) {
    ChoiceDialog dialog(request, parent_ ? parent_ : QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

}  // namespace quotaplan
