#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>

#include "data/contract_store.h"
#include "ui/contract_tree.h"
#include "ui/form_state.h"

class QAction;
class QSettings;
class QTabWidget;

namespace quotaplan {

class ChartPage;
class ContractPage;
class DesktopShell;
class MessageBoxes;
class PlanPage;
class ReviewArchive;
class StatusPage;
class UserGuideWindow;
class WindowArchive;
class WindowPlacement;

// frmContratto: a frame that owns the contract tree, the menu and the four pages of
// tabMain. The pages hold their own controls and handlers; the frame runs the load, New
// and unload sequences that span them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The shell opens web pages and files for the window and its pages (the plan page's
    // exports too); it must outlive the window.
    MainWindow(WindowArchive& archive, MessageBoxes& boxes, DesktopShell& shell,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window takes the place and size it had when it was last closed, and keeps them in
    // `settings` (which must outlive it) when it closes; so do the sizes of the Stato page's
    // dialogs. Without this it keeps nothing.
    void RememberPlacement(QSettings& settings);

    // Adds the menu's "Perizia", the expert review of the contract shown, on this archive;
    // mappings of bank plans are remembered in `settings`. Both must outlive the window.
    void EnableReview(ReviewArchive& archive, QSettings& settings);
    // "Perizia": the review window on the plan to the cent shown; a message when there is none.
    void OpenReview();

    // Window load: fills the tree, the lookup lists and the combos, hands the grid to the
    // plan module and clears the form (New).
    void Load();

    // Rebuilds tvwContratti from the archive.
    void LoadTree();
    // Every field back to its initial content, then the tree rebuilt.
    void ResetForm();
    // cmdNuovo: ResetForm, and the form becomes a new contract with the instalment target.
    // (The button asks about unsaved changes first: ConfirmLeavingContract.)
    void New();

    // Before the form leaves the contract shown (Nuovo, another contract, closing): when it
    // holds unsaved changes, "Salvare le modifiche?" with Sì / No / Annulla. True to go on:
    // No, or Sì and the contract saved. Sì while "Salva" is off (not calculated) says to
    // calculate first and stays, as do Annulla and a failed save.
    bool ConfirmLeavingContract();

    // A click on a node of tvwContratti: a contract node loads the contract into the form,
    // with its stored plan as the current plan and its own figures; a financing type node
    // changes nothing. A contract that is no longer in the archive is reported once and the
    // form stays as it was; so does the form when the user keeps unsaved changes.
    void LoadContract(QTreeWidgetItem* node);
    // cmdSalva (true when the contract was saved) and cmdElimina; both refresh the summary.
    bool Save();
    void Delete();
    // The frame "Dati di Riepilogo" read again.
    void RefreshSummary();
    // After a change of the lookup tables: tree, table list and combos rebuilt, the form
    // cleared, then the table worked on selected again in the editor (the second table
    // when none was chosen).
    void RefreshLookups(const QString& tableEntry);

    // "Indicizza" enabled when the chosen reference rate has values; pressed, the rate list
    // made from them (a query that fails is shown in words and nothing changes).
    void UpdateIndexing();
    void Index();

    // The TAEG shown judged against the usury threshold of the financing type's category in
    // force for the amount financed on the contract date, the verdict shown beside it.
    void CheckUsury();

    // The menu's desktop commands.
    void OpenServices();
    void OpenOnlineGuide();
    // "Guida di Quotaplan" (F1): the guide shipped with the program, in a window of its own.
    void OpenUserGuide();
    // Where that guide is read from (the program's own by default).
    void SetUserGuide(std::filesystem::path page) { userGuide_ = std::move(page); }
    void ShowAbout();

    ContractPage* Contract() const { return contractPage_; }
    PlanPage* Plan() const { return planPage_; }
    StatusPage* Status() const { return statusPage_; }
    ChartPage* PlanChart() const { return chartPage_; }
    QTabWidget* Tabs() const { return tabMain_; }
    ContractTree* Tree() const { return tvwContratti_; }
    SaveMode CurrentSaveMode() const { return saveMode_; }
    DesktopShell& Shell() const { return shell_; }
    MessageBoxes& Boxes() const { return boxes_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    // The tree and the pages grow with the window past its designed size, which is also its
    // least size; the form keeps its arrangement.
    void LayOutGrowingWindow(QWidget* central);
    // The grid back to its header row and the chart emptied (New, Delete).
    void ClearPlanViews();
    // The stored contract's current plan, its events' penalties and refunds on their lines,
    // becomes the plan shown (grid, chart, figures), and its events are listed.
    void ShowStoredPlanWithEvents(std::int32_t contractId);
    void FillLookupLists();
    // Runs a step that reads the archive; a failure is shown in words, never fatal.
    void Guarded(const std::function<void()>& step);
    std::int32_t ContractIdShown() const;

    WindowArchive& archive_;
    MessageBoxes& boxes_;
    DesktopShell& shell_;
    ContractTree* tvwContratti_ = nullptr;
    QTabWidget* tabMain_ = nullptr;
    ContractPage* contractPage_ = nullptr;
    PlanPage* planPage_ = nullptr;
    StatusPage* statusPage_ = nullptr;
    ChartPage* chartPage_ = nullptr;
    UserGuideWindow* guide_ = nullptr;
    std::filesystem::path userGuide_;
    SaveMode saveMode_ = SaveMode::NewContract;
    // What the plan in memory was calculated for; only such a plan is ever saved.
    PlanOwner planOwner_;
    // The form as last loaded, saved or emptied: what "Salvare le modifiche?" compares with.
    std::optional<FormSnapshot> savedForm_;
    bool databaseClosed_ = false;
    std::unique_ptr<WindowPlacement> placement_;
    ReviewArchive* reviewArchive_ = nullptr;
    QSettings* reviewSettings_ = nullptr;
};

}  // namespace quotaplan
