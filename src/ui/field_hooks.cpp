#include "ui/field_hooks.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace quotaplan {

FieldHooks::FieldHooks(QLineEdit* field) : QObject(field), field_(field) {
    field->installEventFilter(this);
}

bool FieldHooks::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_) return false;
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete) {
                if (onDeletePressed) onDeletePressed();
                return false;
            }
            QString typed = key->key() == Qt::Key_Backspace ? QString(kBackspace) : key->text();
            if (typed.isEmpty() || !onKeyTyped) return false;
            if (typed.size() == 1 && typed[0].isPrint() == false && typed[0] != kBackspace) {
                return false;  // Enter, Tab, Escape: not typing
            }
            const QString entered = onKeyTyped(typed);
            if (entered == typed) return false;
            if (!field_->isReadOnly() && entered != QString(kBackspace)) field_->insert(entered);
            return true;
        }
        case QEvent::FocusIn:
            // Deferred, so that the mouse press that gave the focus does not undo it.
            QTimer::singleShot(0, field_, [field = field_] {
                if (field->hasFocus()) field->selectAll();
            });
            return false;
        case QEvent::FocusOut: {
            // A message box or a menu taking the focus for a moment is not leaving the field.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
                return false;
            }
            if (onLeave) onLeave();
            return false;
        }
        default:
            return false;
    }
}

}  // namespace quotaplan
