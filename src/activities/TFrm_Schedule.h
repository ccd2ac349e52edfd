#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class Dataset;
class QMenu;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_Schedule; }

// The schedule list: every schedule in the operator's scope, or those whose reminder
// date is a chosen day. It shows the shared schedule list Qry_Schedule with its own
// statement and without following the customer list; closing it gives the list back
// to the customer browser.
class TFrm_Schedule : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Schedule(Session *session);
    ~TFrm_Schedule() override;

    // Every schedule in scope (view-all right), otherwise the operator's own.
    void openList();
    // Btn_S_Cust: the schedules in scope whose reminder date is the day in DateTimePicker1.
    void search();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Opens the shared list with open(), detached from the customer list and laid out
    // as "Schedule".
    void run(const std::function<void(Dataset &)> &open);
    void giveBack();
    // Back in front after the browser took the shared list for its schedule page: the
    // list shows its own rows again, as last loaded.
    void frameActivated();

    std::unique_ptr<Ui::TFrm_Schedule> ui;
    QMenu *m_contextMenu; // PopupMenu1
    Session *m_session;
    TFrm_Data *m_data;
    // The shared list as it was before this window took it over.
    QString m_previousSql;
    bool m_previousLinked = true;
    bool m_previousOpen = false;
    QString m_ownSql; // the statement this window set last
    std::function<void(Dataset &)> m_lastOpen; // and how it was opened
    bool m_givenBack = false;
};
