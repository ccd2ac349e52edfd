#pragma once

#include <QDialog>
#include <functional>

class DataGrid;
class Dataset;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TFrm_Data;
class TFrm_Main;

// The contact activity reminders ("联系活动提醒"): the operator's own schedules that
// want a reminder and whose reminder date lies exactly the chosen number of days from
// today. Shown modally, by the main window's timer at start or from its menu; showing
// it stops the main window's timer. It keeps two settings in Config.ini, section
// otherInfo: awoke (0 = pop up at start, 1 = not), written whenever the tick box
// changes, and Day, the day count, written when the window closes. It never changes a
// schedule.
class TFrm_Awoke : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Awoke(TFrm_Main *mainWindow, QWidget *parent = nullptr);
    ~TFrm_Awoke() override;

    // The reminder statement for an operator and a day-count text (blanks around it dropped).
    static QString reminderSql(const QString &operatorName, const QString &dayText);
    // The print preview of a grid: its columns as shown, scaled to the page width, page
    // margins in millimetres.
    static void printGrid(DataGrid *grid, QWidget *parent);

    // Loads the reminders for the day count in Edit_Day (on showing and Btn_Refresh).
    void loadReminders();
    // Btn_Print; runs printHandler, the grid print preview unless a test replaces it.
    void print();
    std::function<void(DataGrid *)> printHandler;

    // Closing (Btn_Exit, Esc, the close box): the day count must be a whole number; it is
    // written as Day. Otherwise the conversion error is shown and the window stays open.
    void reject() override;

    Dataset *Qry_Awoke;
    DataGrid *DBGridEh1;
    QWidget *Panel1;
    QCheckBox *CheckBox1;
    QLineEdit *Edit_Day;
    QLabel *Label1;
    QPushButton *Btn_Refresh, *Btn_Print, *Btn_Exit;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildForm();
    void showSteps();
    void tickChanged(bool ticked);

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    bool m_shown = false;
};
