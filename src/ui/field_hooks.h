#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace quotaplan {

// The per-field hooks the contract form needs on a QLineEdit: a key-typed hook that may
// replace the typed character, a key-down hook for Delete, a leave hook, and the rule that
// the field's whole text is selected when it gets the focus, by the keyboard or by a click,
// so that typing replaces it. Installed as an event filter; the field stays a plain QLineEdit.
class FieldHooks : public QObject {
    Q_OBJECT
public:
    // Backspace reaches the key-typed hook as "\b", as the form's rules expect.
    static constexpr QChar kBackspace = QChar(8);

    explicit FieldHooks(QLineEdit* field);

    // Returns the text to enter for the typed one; returning it unchanged lets the key through.
    std::function<QString(const QString& typed)> onKeyTyped;
    std::function<void()> onDeletePressed;
    std::function<void()> onLeave;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_;
};

}  // namespace quotaplan
