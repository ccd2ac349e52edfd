#pragma once

#include <QWidget>
#include <memory>

class QMenu;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_Daily; }

// The work diary list ("历史记录"): a child window over the shared diary query
// Qry_Daily. It opens on the operator's own entries, oldest first; the keyword search
// looks through the subject and content of every operator's entries. Entries are added,
// changed and deleted through the commands AddDaily, EditDaily and DelDaily, which its
// context menu and a double click run.
class TFrm_Daily : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Daily(Session *session);
    ~TFrm_Daily() override;

    // Loads the operator's own entries (done when the window opens).
    void loadOwnEntries();
    // Runs the keyword search (Btn_Search, Enter in Edit_Key).
    void search();

private:
    // Columns and Chinese titles of the grid, after every load.
    void applyLayout();

    std::unique_ptr<Ui::TFrm_Daily> ui;
    QMenu *m_contextMenu; // PopupMenu1
    Session *m_session;
    TFrm_Data *m_data;
};
