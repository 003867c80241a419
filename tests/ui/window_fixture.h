#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "common/desktop_shell.h"
#include "common/recording_message_boxes.h"
#include "fake_window_archive.h"
#include "ui/contract_page.h"
#include "ui/main_window.h"
#include "ui/plan_grid.h"
#include "ui/plan_page.h"
#include "ui/rate_list_view.h"

namespace quotaplan::test {

// Drives a main window as a user would, with recording boxes and a recording shell.
struct WindowDriver {
    RecordingMessageBoxes boxes;
    RecordingDesktopShell shell;
    std::unique_ptr<MainWindow> window;

    // Loads, shows and activates a window over the archive.
    void Open(WindowArchive& archive) {
        window = std::make_unique<MainWindow>(archive, boxes, shell);
        window->Load();
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    template <typename Widget = QLineEdit>
    Widget* Find(const char* name) const {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    QLineEdit* Field(const char* name) const { return Find<QLineEdit>(name); }
    const ContractControls& C() const { return window->Contract()->Controls(); }
    PlanGrid* Grid() const { return window->Plan()->fgrPDA; }

    // Gives the field the focus as the Tab key would and lets its select-all run.
    void Focus(QWidget* widget) const {
        widget->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // Focuses the field, types over its whole text, and stays in it.
    void Type(const char* name, const QString& keys) const {
        QLineEdit* field = Field(name);
        Focus(field);
        QTest::keyClicks(field, keys);
    }
    // Types into the field and leaves it for the description field.
    void Enter(const char* name, const QString& keys) const {
        Type(name, keys);
        Leave();
    }
    // Enters each text into its field, in turn.
    void EnterAll(std::initializer_list<std::pair<const char*, QString>> texts) const {
        for (const auto& [name, text] : texts) Enter(name, text);
    }
    void Leave() const {
        QWidget* away =
            QString::fromLatin1("txtDescBene") == QApplication::focusWidget()->objectName()
                ? static_cast<QWidget*>(C().txtRate)
                : static_cast<QWidget*>(C().txtDescBene);
        Focus(away);
    }
    QString Text(const char* name) const { return Field(name)->text(); }
    // Clicks an option on its indicator, where a click always lands.
    void Choose(QRadioButton* option) const {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }
    // The reference leasing: 30.000 with maxi-instalment and buy-out, 7,5 %, monthly from
    // 28/02/06 after a contract of 31/01/06, compound; the description is the caller's.
    void FillLeasing(const QString& instalments = "36",
                     const QString& maxiAndBuyout = "3000") const {
        EnterAll({{"txtValBene", "30000"}, {"txtMaxi", maxiAndBuyout},
                  {"txtRiscatto", maxiAndBuyout}, {"txtTasso", "7,5"}, {"txtRate", instalments},
                  {"txtContract", "31/01/06"}, {"txtStart", "28/02/06"}});
        Choose(C().optCapCom);
    }
    void Calcola() const { QTest::mouseClick(C().cmdCalcola, Qt::LeftButton); }
    QString Cell(int row, int column) const { return Grid()->TextMatrix(row, column); }
    // The texts of the grid's cells at {row, column}, in order.
    QStringList Cells(std::initializer_list<std::pair<int, int>> places) const {
        QStringList texts;
        for (const auto& [row, column] : places) texts << Cell(row, column);
        return texts;
    }
    // The grid's body rows that hold any text, their cells joined by one blank.
    QStringList GridRowsAsText() const {
        QStringList rows;
        for (int row = 1; row < Grid()->Rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < Grid()->columnCount(); ++column) {
                cells.append(Cell(row, column));
            }
            const QString text = cells.join(' ').simplified();
            if (!text.isEmpty()) rows.append(text);
        }
        return rows;
    }
    bool Stale() const { return C().lblInfo->isVisible(); }
};

// Chooses the list's one item of that text, as a click does.
inline void Pick(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    list->setCurrentItem(found[0]);
    emit list->itemClicked(found[0]);
}

// The rows of a list, the cells of each joined by the separator.
inline QStringList TreeLines(const QTreeWidget* list, const QString& separator = " | ") {
    QStringList lines;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column) {
            cells << list->topLevelItem(row)->text(column);
        }
        lines << cells.join(separator);
    }
    return lines;
}

// A stored contract as the archive gives it to the form: 30.000 at 6 % over 12 monthly
// instalments from 28/02/06, no maxi-instalment, buy-out or fees.
inline ContractForm StoredTornio() {
    ContractForm form;
    form.txtDescBene = "Tornio";
    form.txtValBene = "30.000,00";
    form.txtMaxi = "0,00";
    form.txtRiscatto = "0,00";
    form.txtTasso = "6,00";
    form.txtSpread = "0,00";
    form.txtRate = "12";
    form.txtContract = "31/01/06";
    form.txtStart = "28/02/06";
    form.txtSpContratto = "0,00";
    form.txtSpRata = "0,00";
    form.cboTipoLea = "Leasing";
    form.cboTxRif = "Euribor 3 mesi";
    return form;
}

// A loaded, shown and active main window over the fake archive.
struct WindowFixture : WindowDriver {
    FakeWindowArchive archive;
    WindowFixture() { Open(archive); }
};

}  // namespace quotaplan::test
