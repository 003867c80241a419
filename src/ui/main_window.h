#pragma once

#include <QMainWindow>

#include "data/contract_store.h"

class QAction;
class QTabWidget;
class QTreeWidget;

namespace quotaplan {

class ContractPage;
class DesktopShell;
class MessageBoxes;
class PlanPage;
class StatusPage;
class WindowArchive;

// frmContratto: a frame that owns the contract tree, the menu and the three pages of
// tabMain. The pages hold their own controls and handlers; the frame runs the load, New
// and unload sequences that span them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The shell opens web pages and files for the window and its pages (the plan page's
    // exports too); it must outlive the window.
    MainWindow(WindowArchive& archive, MessageBoxes& boxes, DesktopShell& shell,
               QWidget* parent = nullptr);

    // Window load: fills the tree, the lookup lists and the combos, hands the grid to the
    // plan module and clears the form (New).
    void Load();

    // Rebuilds tvwContratti from the archive.
    void LoadTree();
    // Every field back to its initial content, then the tree rebuilt.
    void ResetForm();
    // cmdNuovo: ResetForm, and the form becomes a new contract with the instalment target.
    void New();

    ContractPage* Contract() const { return contractPage_; }
    PlanPage* Plan() const { return planPage_; }
    StatusPage* Status() const { return statusPage_; }
    QTabWidget* Tabs() const { return tabMain_; }
    QTreeWidget* Tree() const { return tvwContratti_; }
    SaveMode CurrentSaveMode() const { return saveMode_; }
    DesktopShell& Shell() const { return shell_; }
    MessageBoxes& Boxes() const { return boxes_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();

    WindowArchive& archive_;
    MessageBoxes& boxes_;
    DesktopShell& shell_;
    QTreeWidget* tvwContratti_ = nullptr;
    QTabWidget* tabMain_ = nullptr;
    ContractPage* contractPage_ = nullptr;
    PlanPage* planPage_ = nullptr;
    StatusPage* statusPage_ = nullptr;
    SaveMode saveMode_ = SaveMode::NewContract;
    bool databaseClosed_ = false;
};

}  // namespace quotaplan
