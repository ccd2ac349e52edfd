#pragma once

#include "sheets/Spreadsheet.h"

#include <QDialog>
#include <memory>

class Dataset;
class Session;
namespace Ui { class TFrm_Import; }

// The mapping window of the customer import ("字段映射"): one row per importable column
// of the customers and contacts (T_Import, layout "import"), each naming the spreadsheet
// title that fills it, chosen from a pick list of the sheet's titles or typed; a changed
// row is stored as the grid leaves it. Start imports every data row of the sheet in one
// transaction; a cancel on the progress bar, a title the sheet lacks or any failure
// stores nothing and says why.
class TFrm_Import : public QDialog
{
    Q_OBJECT
public:
    // The sheet read by the import command; its titles are already in T_Temp.
    TFrm_Import(Session *session, SheetData sheet, QWidget *parent = nullptr);
    ~TFrm_Import() override;

    // Start's work: returns true when the rows were stored.
    bool start();
    // Stores a title still being typed into the grid.
    bool commitPending();

    // The import command: asks for a file, reads it, stores its titles with the proposed
    // mapping and shows the mapping window.
    static void importCommand(Session *session);

public slots:
    void done(int result) override;

private:
    std::unique_ptr<Ui::TFrm_Import> ui;
    Session *m_session;
    SheetData m_sheet;
    std::unique_ptr<Dataset> m_mapping;
    std::unique_ptr<Dataset> m_titles;
};
