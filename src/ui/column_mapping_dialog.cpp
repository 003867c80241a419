#include "ui/column_mapping_dialog.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/accessible_names.h"

namespace quotaplan {
namespace {

constexpr int kPreviewRows = 8;

// Settings keys cannot hold every character a header may: the layout's key is hashed.
QString SettingsKey(const std::string& layoutKey) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(layoutKey), QCryptographicHash::Sha1);
    return QStringLiteral("PianoBanca/") + QString::fromLatin1(hash.toHex());
}

}  // namespace

ColumnMappingDialog::ColumnMappingDialog(const SheetCells& sheet,
                                         const std::vector<BankColumn>& initial, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmColonne"));
    setWindowTitle(QStringLiteral("Colonne del piano della banca"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Indicare che cosa contiene ogni colonna del file:"), this));
    std::size_t columns = initial.size();
    for (const SheetRow& row : sheet.rows) columns = std::max(columns, row.cells.size());
    const int rows = static_cast<int>(std::min<std::size_t>(sheet.rows.size(), kPreviewRows));
    grdAnteprima = new QTableWidget(rows + 1, static_cast<int>(columns), this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    grdAnteprima->verticalHeader()->setVisible(false);
    grdAnteprima->horizontalHeader()->setVisible(false);
    grdAnteprima->setAccessibleName(QStringLiteral("Prime righe del file"));
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (std::size_t c = 0; c < columns; ++c) {
        auto* choice = new QComboBox(grdAnteprima);
        choice->setObjectName(QStringLiteral("cboColonna%1").arg(c + 1));
        choice->setAccessibleName(QStringLiteral("Contenuto della colonna %1").arg(c + 1));
        for (const BankColumn column : AllBankColumns()) {
            choice->addItem(QString::fromUtf8(BankColumnCaption(column)), static_cast<int>(column));
        }
        const BankColumn chosen = c < initial.size() ? initial[c] : BankColumn::Skip;
        choice->setCurrentIndex(choice->findData(static_cast<int>(chosen)));
        grdAnteprima->setCellWidget(0, static_cast<int>(c), choice);
        cboColonne.push_back(choice);
    }
    for (int r = 0; r < rows; ++r) {
        const auto& cells = sheet.rows[static_cast<std::size_t>(r)].cells;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            grdAnteprima->setItem(r + 1, static_cast<int>(c),
                                  new QTableWidgetItem(QString::fromStdString(cells[c])));
        }
    }
    grdAnteprima->resizeColumnsToContents();
    layout->addWidget(grdAnteprima);
    auto* buttons = new QDialogButtonBox(this);
    cmdColonneOk = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdColonneOk->setObjectName(QStringLiteral("cmdColonneOk"));
    cmdColonneAnnulla = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cmdColonneAnnulla->setObjectName(QStringLiteral("cmdColonneAnnulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 320);
    NameInputs(this);
}

std::vector<BankColumn> ColumnMappingDialog::Mapping() const {
    std::vector<BankColumn> mapping;
    for (const QComboBox* choice : cboColonne) {
        mapping.push_back(static_cast<BankColumn>(choice->currentData().toInt()));
    }
    return mapping;
}

std::optional<std::vector<BankColumn>> RememberedMapping(QSettings& settings,
                                                         const std::string& layoutKey,
                                                         std::size_t columns) {
    const QString stored = settings.value(SettingsKey(layoutKey)).toString();
    if (stored.isEmpty()) return std::nullopt;
    auto read = ReadColumnList(stored.toStdString());
    auto* mapping = std::get_if<std::vector<BankColumn>>(&read);
    if (!mapping || mapping->size() != columns) return std::nullopt;
    return *mapping;
}

void RememberMapping(QSettings& settings, const std::string& layoutKey,
                     const std::vector<BankColumn>& mapping) {
    QStringList names;
    for (const BankColumn column : mapping) names << QString::fromLatin1(BankColumnName(column));
    settings.setValue(SettingsKey(layoutKey), names.join(QLatin1Char(',')));
}

}  // namespace quotaplan
