#pragma once

#include <QTableWidget>

namespace quotaplan {

struct FinancialPlan;

// fgrPDA: the plan as a read-only table of text cells. Addressed like the classic flex
// grid it stands for: row 0 is the header row (shown as the table's header), rows 1.. the
// body, Rows() counting the header. Printing reads it through these members.
class PlanGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    // The grid's width on its page at the window's designed size.
    static constexpr int kDesignedWidthTwips = 6735;

    explicit PlanGrid(QWidget* parent = nullptr);

    int Rows() const { return rowCount() + 1; }
    void SetRows(int rows);  // at least 1, the header row
    QString TextMatrix(int row, int column) const;
    void SetTextMatrix(int row, int column, const QString& text);
    bool CellBold(int row, int column) const;
    int ColWidthTwips(int column) const;
    Qt::Alignment ColAlignment(int column) const;
    // The row where an event of the contract acts: shaded, in bold, the event in its tooltip.
    void MarkEventRow(int row, const QString& tip);
    bool IsEventRow(int row) const;

    // The columns at their designed widths; a grid wider than designed shares the extra
    // width among them in proportion to those widths.
    void SetColumnWidths();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The plan module's side of the grid: keeps the grid it was handed and writes the plan
// into it. The plan is owned by the calculation side and only read here.
class PlanGridWriter {
public:
    explicit PlanGridWriter(const FinancialPlan& plan) : plan_(plan) {}

    void SetPlanGrid(PlanGrid* grid) { grid_ = grid; }

    // Rewrites the grid from the plan: headings, an optional "Maxi." row, one row per
    // instalment with the lines of the contract's events among them (MarkEventRow), an
    // optional "Riscatto" row; the grid ends with n + 3 rows whatever the optional rows, as
    // printing expects (or as many as its lines need).
    void FillPlanGrid() const;

    // Leaves only the header row (New, Delete).
    void CutToHeader() const;

private:
    const FinancialPlan& plan_;
    PlanGrid* grid_ = nullptr;
};

}  // namespace quotaplan
