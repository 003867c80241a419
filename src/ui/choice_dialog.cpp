#include "ui/choice_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/accessible_names.h"

namespace quotaplan {
namespace {

constexpr int kNameRole = Qt::UserRole;
// An ordinary dialog's width and a list of about a dozen lines: long names wrap within it.
constexpr int kWidth = 460;
constexpr int kListHeight = 260;

// What the search compares: the text in lower case without its accents, blanks squeezed, so
// that "attivita" finds "Attività".
QString SearchKey(const QString& text) {
    QString key;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.category() != QChar::Mark_NonSpacing) key += c;
    }
    return key.toCaseFolded().simplified();
}

}  // namespace

ChoiceDialog::ChoiceDialog(const ChoiceRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgScelta"));
    if (parent != nullptr) setFont(parent->font());
    setWindowTitle(QString::fromStdString(request.title));

    lblPrompt = new QLabel(QString::fromStdString(request.prompt), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);
    txtCerca = new QLineEdit(this);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setPlaceholderText(QStringLiteral("Cerca…"));
    txtCerca->setAccessibleName(QStringLiteral("Cerca"));
    txtCerca->setClearButtonEnabled(true);
    lstScelte = new QListWidget(this);
    lstScelte->setObjectName(QStringLiteral("lstScelte"));
    lstScelte->setAccessibleName(QString::fromStdString(request.title));
    lstScelte->setWordWrap(true);
    lstScelte->setTextElideMode(Qt::ElideNone);
    lstScelte->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstScelte->setResizeMode(QListView::Adjust);
    lstScelte->setMinimumHeight(kListHeight);

    const auto add = [this](const QString& shown, const QString& name) {
        auto* item = new QListWidgetItem(shown, lstScelte);
        item->setData(kNameRole, name);
        item->setToolTip(shown);
        return item;
    };
    if (!request.noneCaption.empty()) {
        QListWidgetItem* none = add(QString::fromStdString(request.noneCaption), QString());
        if (request.current.empty()) lstScelte->setCurrentItem(none);
    }
    for (const std::string& choice : request.choices) {
        const QString name = QString::fromStdString(choice);
        QListWidgetItem* item = add(name, name);
        if (!request.current.empty() && choice == request.current) lstScelte->setCurrentItem(item);
    }

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addWidget(txtCerca);
    layout->addWidget(lstScelte, 1);
    layout->addWidget(buttons);
    resize(kWidth, sizeHint().height());

    connect(txtCerca, &QLineEdit::textChanged, this, &ChoiceDialog::Narrow);
    connect(lstScelte, &QListWidget::currentItemChanged, this, &ChoiceDialog::UpdateOk);
    connect(lstScelte, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (QListWidgetItem* current = lstScelte->currentItem()) lstScelte->scrollToItem(current);
    txtCerca->setFocus();
    UpdateOk();
    NameInputs(this);
}

std::optional<std::string> ChoiceDialog::Chosen() const {
    const QListWidgetItem* item = lstScelte->currentItem();
    if (item == nullptr || item->isHidden()) return std::nullopt;
    return item->data(kNameRole).toString().toStdString();
}

void ChoiceDialog::Narrow(const QString& search) {
    const QString key = SearchKey(search);
    QListWidgetItem* firstShown = nullptr;
    for (int row = 0; row < lstScelte->count(); ++row) {
        QListWidgetItem* item = lstScelte->item(row);
        const bool shown = key.isEmpty() || SearchKey(item->text()).contains(key);
        item->setHidden(!shown);
        if (shown && firstShown == nullptr) firstShown = item;
    }
    // The chosen entry follows the search: the first one it leaves, when it hid the chosen one.
    if (lstScelte->currentItem() == nullptr || lstScelte->currentItem()->isHidden()) {
        lstScelte->setCurrentItem(firstShown);
    }
    UpdateOk();
}

void ChoiceDialog::UpdateOk() {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(Chosen().has_value());
}

}  // namespace quotaplan
