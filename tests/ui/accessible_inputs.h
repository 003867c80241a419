#pragma once

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>

namespace quotaplan::test {

// The inputs under `root` a screen reader would announce without a name: text fields,
// lists, spin and date boxes, check boxes, options, tables, trees and lists; by class and
// object name. The parts Qt builds inside a combo box or a spin box are theirs.
inline QStringList UnnamedInputs(const QWidget* root) {
    QStringList unnamed;
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        const bool input = qobject_cast<const QLineEdit*>(widget) ||
                           qobject_cast<const QComboBox*>(widget) ||
                           qobject_cast<const QAbstractSpinBox*>(widget) ||
                           qobject_cast<const QCheckBox*>(widget) ||
                           qobject_cast<const QRadioButton*>(widget) ||
                           qobject_cast<const QAbstractItemView*>(widget);
        const QWidget* owner = widget->parentWidget();
        // A table's or a tree's headers are read with it.
        if (!input || qobject_cast<const QAbstractItemView*>(owner)) continue;
        if (qobject_cast<const QComboBox*>(owner) || qobject_cast<const QAbstractSpinBox*>(owner))
            continue;
        // A combo box's popup list lives in a container of its own.
        if (owner && owner->inherits("QComboBoxPrivateContainer")) continue;
        if (widget->accessibleName().trimmed().isEmpty()) {
            unnamed.append(QString::fromLatin1(widget->metaObject()->className()) + "#" +
                           widget->objectName());
        }
    }
    return unnamed;
}

}  // namespace quotaplan::test
