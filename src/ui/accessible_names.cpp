#include "ui/accessible_names.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace quotaplan {

QString SpokenCaption(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
    caption = caption.trimmed();
    if (caption.startsWith(QStringLiteral("- "))) caption.remove(0, 2);
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption.trimmed();
}

void NameInputs(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty()) {
            buddy->setAccessibleName(SpokenCaption(label->text()));
        }
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (button->accessibleName().isEmpty() && !button->text().isEmpty()) {
            button->setAccessibleName(SpokenCaption(button->text()));
        }
    }
}

}  // namespace quotaplan
