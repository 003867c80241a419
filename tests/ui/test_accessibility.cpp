// What a screen reader and a keyboard user meet: every input of the main window and of the
// dialogs it opens has a name, the form's captions are their fields' labels, and no two
// mnemonics of the window clash.
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <map>

#include "accessible_inputs.h"
#include "ui/choice_dialog.h"
#include "ui/column_mapping_dialog.h"
#include "ui/portfolio_check_dialog.h"
#include "ui/reference_values_dialog.h"
#include "ui/renegotiation_dialog.h"
#include "ui/suspension_dialog.h"
#include "ui/usury_thresholds_dialog.h"
#include "ui/yearly_statement_dialog.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f_ = std::make_unique<WindowFixture>(); }
    void cleanup() { f_.reset(); }

    void everyInputOfTheWindowHasAName() {
        const QStringList unnamed = UnnamedInputs(f_->window.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void everyInputOfTheDialogsHasAName_data() {
        QTest::addColumn<QString>("dialog");
        for (const char* name : {"choice", "usury thresholds", "reference values",
                                 "portfolio check", "column mapping", "suspension",
                                 "renegotiation", "yearly statement"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void everyInputOfTheDialogsHasAName() {
        QFETCH(QString, dialog);
        QTemporaryDir folder;
        std::unique_ptr<QWidget> opened;
        if (dialog == "choice") {
            opened = std::make_unique<ChoiceDialog>(
                ChoiceRequest{"Categoria d'usura:", "Categoria d'usura", {"Leasing"}, "", ""});
        } else if (dialog == "usury thresholds") {
            opened = std::make_unique<UsuryThresholdsDialog>(f_->archive, f_->boxes);
        } else if (dialog == "reference values") {
            opened = std::make_unique<ReferenceValuesDialog>(f_->archive, f_->boxes, "Euribor");
        } else if (dialog == "portfolio check") {
            opened = std::make_unique<PortfolioCheckDialog>(f_->boxes, &f_->shell,
                                                            folder.path().toStdString());
        } else if (dialog == "suspension") {
            opened = std::make_unique<SuspensionDialog>(EventBasis{}, EventDialogServices{});
        } else if (dialog == "renegotiation") {
            EventDialogServices services;
            services.referenceRates = {{"Euribor 3M", Percent::FromHundredths(215)}};
            opened = std::make_unique<RenegotiationDialog>(EventBasis{}, services);
        } else if (dialog == "yearly statement") {
            opened = std::make_unique<YearlyStatementDialog>(f_->archive, f_->boxes, &f_->shell,
                                                             folder.path().toStdString());
        } else {
            SheetCells sheet;
            sheet.rows = {{1, {"Data", "Importo"}}, {2, {"28/02/2026", "103,28"}}};
            opened = std::make_unique<ColumnMappingDialog>(sheet, GuessBankColumns(sheet));
        }
        opened->show();
        const QStringList unnamed = UnnamedInputs(opened.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // The form's captions lead to their fields, by the label's mnemonic too.
    void captionsAreTheFieldsLabels_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("field");
        QTest::newRow("Valore del bene") << int(Qt::Key_V) << "txtValBene";
        QTest::newRow("Tasso") << int(Qt::Key_T) << "txtTasso";
        QTest::newRow("Spread") << int(Qt::Key_R) << "txtSpread";
        QTest::newRow("N° di rate") << int(Qt::Key_D) << "txtRate";
        QTest::newRow("Riscatto") << int(Qt::Key_O) << "txtRiscatto";
        QTest::newRow("Prima rata") << int(Qt::Key_M) << "txtStart";
        QTest::newRow("Tasso riferimento") << int(Qt::Key_F) << "cboTxRif";
    }
    void captionsAreTheFieldsLabels() {
        QFETCH(int, key);
        QFETCH(QString, field);
        f_->Focus(f_->C().txtDescBene);
        QTest::keyClick(f_->C().txtDescBene, Qt::Key(key), Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
    }

    // A caption's Alt key leads to one field: no other caption, no button of the page and no
    // menu bar entry has it (the page's buttons and the menu bar share theirs by design).
    void captionMnemonicsAreTheirOwn() {
        QStringList taken;
        for (const QAction* entry : f_->window->menuBar()->actions()) taken.append(entry->text());
        for (const QPushButton* button : f_->window->Contract()->findChildren<QPushButton*>()) {
            taken.append(button->text());
        }
        QStringList captions;
        for (const QLabel* label : f_->window->Contract()->findChildren<QLabel*>()) {
            captions.append(label->text());
        }
        for (const QCheckBox* box : f_->window->Contract()->findChildren<QCheckBox*>()) {
            captions.append(box->text());
        }
        std::map<QKeySequence, QStringList> owners;
        for (const QString& text : taken + captions) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (!key.isEmpty()) owners[key].append(text);
        }
        int withKey = 0;
        for (const QString& caption : captions) {
            const QKeySequence key = QKeySequence::mnemonic(caption);
            if (key.isEmpty()) continue;
            ++withKey;
            QCOMPARE(owners[key], QStringList{caption});
        }
        QCOMPARE(withKey, 11);
    }

private:
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
