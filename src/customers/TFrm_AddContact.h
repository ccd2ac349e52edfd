#pragma once

#include "ui/RecordEditor.h"

#include <QVariant>
#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddContact; }

// The contact editor: one contact person of a customer, added to or changed in the
// shared contact list Qry_Contact. Every save also makes the contact the customer's
// MainContact. Add mode loops (save, clear, next contact) until closed; edit mode
// closes after one save. The customer is matched by its code exactly as stored.
class TFrm_AddContact : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddContact(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddContact() override;

    // The customer the new contact belongs to, when the opener knows it (the customer
    // editor). Otherwise the customer current in Qry_Cust is taken.
    void setCustomer(const QVariant &custCode, const QString &company);
    // The customer code held for the next save, as the customer row stores it.
    QVariant customerCode() const { return m_custCode; }

    // Saves (Btn_OK): add mode appends and clears for the next contact, edit mode
    // changes the current contact and closes.
    void save();

protected:
    void showSteps() override;
    void loadRecord() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_staleRefusal = false; // the last save was refused: another workstation changed the row
    void clearForNext();
    void setCompany(const QString &company);
    bool checkInputs(bool blankNameIsEmpty);
    QVariant resolveCustomerCode(const QString &company);
    bool writeContact(const QString &company, const QVariant &code);
    void warn(const QString &text, QWidget *focus);

    std::unique_ptr<Ui::TFrm_AddContact> ui;
    Session *m_session;
    TFrm_Data *m_data;
    QVariant m_custCode;
    bool m_customerGiven = false;
    bool m_locked = false; // an ordinary operator met a colleague's contact
};
