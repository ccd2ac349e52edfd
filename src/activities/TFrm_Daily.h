#pragma once

#include <QWidget>

class DataGrid;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class TFrm_Data;
class TFrm_Main;

// The work diary list ("历史记录"): a child window of the main window over the shared
// diary query Qry_Daily. It opens on the operator's own entries, oldest first; the
// keyword search looks through the subject and content of every operator's entries.
// Entries are added, changed and deleted through the main window's commands AddDaily,
// EditDaily and DelDaily, which its context menu and a double click run.
class TFrm_Daily : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Daily(TFrm_Main *mainWindow);
    ~TFrm_Daily() override;

    // The statements the list runs.

    // Loads the operator's own entries (done when the window opens).
    void loadOwnEntries();
    // Runs the keyword search (Btn_Search, Enter in Edit_Key).
    void search();

    QToolBar *ToolBar1;
    QLabel *Label1;
    QLineEdit *Edit_Key;
    QPushButton *Btn_Search;
    DataGrid *DBGrid1;
    QMenu *PopupMenu1;

private:
    TFrm_Main *m_main;
    TFrm_Data *m_data;
};
