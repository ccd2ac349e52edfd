#pragma once

#include "ui/RecordEditor.h"

#include <QVariant>
#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddSchedule; }

// The schedule editor: one contact activity with a customer, added to or changed in
// the shared schedule list Qry_Schedule. Add mode saves any number of schedules in a
// row for the customer the operator sees (the browser's current customer, or the one of
// the row selected in the schedule list, or one chosen from the company box); edit mode changes the current schedule
// and closes after it was saved. Every save makes the current operator the owner.
class TFrm_AddSchedule : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddSchedule(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddSchedule() override;

    // The customer code a new schedule is saved with (the customer shown as company).
    QVariant customerCode() const { return m_custCode; }

    // Btn_OK: checks the subject and the company, then appends (add mode, and clears
    // for the next schedule) or changes the current schedule (edit mode, and closes).
    void save();

protected:
    void showSteps() override;
    void loadRecord() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillSubjects();
    void fillContacts();
    void clearForNext();
    void setCompany(const QString &company);
    void takeCustomer();
    void offerCustomers();
    bool checkInputs();
    void writeRow();

    std::unique_ptr<Ui::TFrm_AddSchedule> ui;
    Session *m_session;
    TFrm_Data *m_data;
    QVariant m_custCode;
    bool m_locked = false; // an ordinary operator met a colleague's schedule
};
