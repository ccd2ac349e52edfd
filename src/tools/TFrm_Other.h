#pragma once

#include <QDialog>
#include <array>

class Dataset;
class DataGrid;
class QTabWidget;
class QToolBar;
class QToolButton;
class TFrm_Data;

// The lookup lists: countries, job titles, departments, customer sources, customer
// types and units of measure, one page each. Every page shows its list through the data
// module's shared query Qry_Other, in a grid of its own whose columns come from the
// layout "Other"; the operator types the values straight into the grid, and a changed
// row is written to its table when the grid leaves the row.
class TFrm_Other : public QDialog
{
    Q_OBJECT
public:
    static constexpr int PageCount = 6;

    // Opens the countries, the first page. Throws DbError when the list cannot be read.
    explicit TFrm_Other(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_Other() override;

    // The statement of a page (0 countries ... 5 units of measure).
    static QString pageSql(int page);
    // The page shown and its grid.
    int currentPage() const;
    DataGrid *currentGrid() const;

    // The buttons' work, also reachable without clicking.
    // Appends an empty value (on the units page with Cataid "Units") and stores it at once.
    void addRow();
    // Asks, then deletes the current value from its table.
    void deleteRow();
    // Writes a value still being typed or not yet stored. On failure the error is
    // reported, the unsaved change is dropped and false comes back.
    bool commitPending();

    QToolBar *ToolBar1;
    QToolButton *ToolButton1, *ToolButton3, *ToolButton6;
    QTabWidget *PageControl1;
    QWidget *TS_Country, *TS_Zw, *TS_Depart, *TS_CustFrom, *TS_CustType, *TS_Units;
    DataGrid *DBGridEh1, *DBGridEh2, *DBGridEh3, *DBGridEh4, *DBGridEh5, *DBGridEh6;
    Dataset *Qry_Other; // the data module's shared query

public slots:
    // Closing stores a value still being typed first; when that fails the window stays open.
    void done(int result) override;

private:
    void showPage(int page);

    TFrm_Data *m_data;
    std::array<DataGrid *, PageCount> m_grids{};
};
