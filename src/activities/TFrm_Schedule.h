#pragma once

#include <QString>
#include <QWidget>

class DataGrid;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class TFrm_Data;
class TFrm_Main;

// The schedule list: every schedule in the operator's scope, or those whose reminder
// date is a chosen day. It shows the shared schedule list Qry_Schedule with its own
// statement and without following the customer list; closing it gives the list back
// to the customer browser.
class TFrm_Schedule : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Schedule(TFrm_Main *mainWindow);
    ~TFrm_Schedule() override;

    // Every schedule in scope (view-all right), otherwise the operator's own.
    void openList();
    // Btn_S_Cust: the schedules whose reminder date is the day in DateTimePicker1.
    void search();

    QLabel *Label1;
    QDateEdit *DateTimePicker1;
    QPushButton *Btn_S_Cust;
    DataGrid *DBGridEh1;
    QMenu *PopupMenu1;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void run(const QString &sql);
    QString scoped(const QString &sql) const;
    void giveBack();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    // The shared list as it was before this window took it over.
    QString m_previousSql;
    bool m_previousLinked = true;
    bool m_previousOpen = false;
    bool m_tookOver = false;
    QString m_ownSql; // the statement this window set last
    bool m_givenBack = false;
};
