#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class TFrm_Data;

// Who is working: the operator's name as stamped into F_User, and the permit (1 marks
// an ordinary operator who may delete only own records).
struct OperatorContext
{
    QString name;
    int permit = 0;
};

// The delete commands with their ownership tests, confirmations and cascades. Add and
// edit commands only open editors and live with the main window.
class RecordCommands
{
public:
    RecordCommands(TFrm_Data *data, QWidget *parent) : m_data(data), m_parent(parent) {}

    // Customers: the current one, or every row selected in the browser's customer grid
    // (positions in Qry_Cust), under one confirmation.
    void DelCust(const OperatorContext &op, const QList<int> &selectedRows);
    void DelContact(const OperatorContext &op);
    void DelSchedule(const OperatorContext &op);
    void DelDaily();
    void DelGoods();
    void DelBill();

private:
    bool deleteOneCustomer(); // the cascade for Qry_Cust's current row; false when rolled back

    TFrm_Data *m_data;
    QWidget *m_parent;
};
