#pragma once

#include "store/queries/Lookups.h"

#include <QDialog>
#include <array>
#include <memory>

class Dataset;
class DataGrid;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_Other; }

// The lookup lists: countries, job titles, departments, customer sources, customer
// types and units of measure, one page each. Every page shows its list through the data
// module's shared query Qry_Other, in a grid of its own whose columns come from the
// layout "Other"; the operator types the values straight into the grid, and a changed
// row is written to its table when the grid leaves the row.
class TFrm_Other : public QDialog
{
    Q_OBJECT
public:
    static constexpr int PageCount = Lookups::ListCount;

    // Opens the countries, the first page. Throws DbError when the list cannot be read.
    explicit TFrm_Other(Session *session, QWidget *parent = nullptr);
    ~TFrm_Other() override;

    // The page shown (0 countries ... 5 units of measure, as Lookups::List) and its grid.
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

public slots:
    // Closing stores a value still being typed first; when that fails the window stays open.
    void done(int result) override;

private:
    void showPage(int page);

    std::unique_ptr<Ui::TFrm_Other> ui;
    TFrm_Data *m_data;
    Dataset *m_values; // the data module's shared query Qry_Other
    std::array<DataGrid *, PageCount> m_grids{};
};
