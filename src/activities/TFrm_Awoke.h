#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class DataGrid;
class Dataset;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_Awoke; }

// The contact activity reminders ("联系活动提醒"): the operator's own schedules that
// want a reminder and whose reminder date lies exactly the chosen number of days from
// today. Shown modally, by the frame's reminder timer at start or from its menu; showing
// it stops that timer. It keeps two settings in Config.ini, section otherInfo: awoke
// (0 = pop up at start, 1 = not), written whenever the tick box changes, and Day, the
// day count, written when the window closes. It never changes a schedule.
class TFrm_Awoke : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Awoke(Session *session, QWidget *parent = nullptr);
    ~TFrm_Awoke() override;

    // The print preview of a grid: its columns as shown, scaled to the page width, page
    // margins in millimetres.
    static void printGrid(DataGrid *grid, QWidget *parent);

    // Loads the reminders for the day count in Edit_Day (on showing and Btn_Refresh).
    void loadReminders();
    // Btn_Print; runs printHandler, the grid print preview unless a test replaces it.
    void print();
    std::function<void(DataGrid *)> printHandler;

    // Closing (Btn_Exit, Esc, the close box): the day count is written as Day. One that is
    // no whole number keeps the stored count (1 when there is none) with a note; the window
    // closes in every case.
    void reject() override;
    // The note for a day count that is no whole number: what was typed, what is kept.
    static QString keptDayNote(const QString &typed, int kept);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showSteps();
    void tickChanged(bool ticked);

    std::unique_ptr<Ui::TFrm_Awoke> ui;
    Dataset *m_reminders; // Qry_Awoke: the window's own query, not the shared schedule list
    Session *m_session;
    TFrm_Data *m_data;
    bool m_shown = false;
};
