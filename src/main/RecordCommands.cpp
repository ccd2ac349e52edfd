#include "RecordCommands.h"
#include "data/TFrm_Data.h"
#include "store/DbError.h"
#include "store/queries/Records.h"
#include "store/Transaction.h"
#include "ui/Messages.h"

#include <QApplication>
#include <algorithm>

namespace {
const QString Warning = QStringLiteral("警告");

} // namespace

void RecordCommands::DelCust(const OperatorContext &op, const QList<int> &selectedRows)
{
    Dataset *customers = m_data->Qry_Cust;
    if (!customers->isOpen() || customers->currentRow() < 0)
        return;
    if (op.permit == 1 && customers->text(QStringLiteral("F_User")) != op.name) {
        Messages::box(m_parent, QStringLiteral("不是你的客户，你没有权限删除！"), Warning, Msg::Icon::Information);
        return;
    }
    if (Messages::box(m_parent, QStringLiteral("确定要删除客户记录吗！"), Warning, Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return;

    if (selectedRows.isEmpty()) {
        deleteOneCustomer();
        return;
    }
    // Rows move up as earlier ones go: in ascending order, a selected row now stands as
    // many places higher as rows have been deleted before it. Its key confirms the row;
    // only if the list changed otherwise is it looked up.
    const int key = customers->checkedFieldIndex(QStringLiteral("CustID"));
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    QList<QVariant> keys;
    for (int row : std::as_const(rows))
        keys.append(customers->value(row, key));
    int deleted = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const int expected = rows.at(i) - deleted;
        if (customers->value(expected, key) == keys.at(i))
            customers->setCurrentRow(expected);
        else if (!customers->locate(QStringLiteral("CustID"), keys.at(i)))
            continue;
        if (deleteOneCustomer())
            ++deleted;
    }
}

bool RecordCommands::deleteOneCustomer()
{
    Dataset *customers = m_data->Qry_Cust;
    // The code exactly as the row stores it: an empty, fractional or text code must not
    // become another customer's number.
    const QVariant code = customers->value(QStringLiteral("CustCode"));
    // Collected before the transaction: a failure here stops the whole command.
    const QStringList bills = Records::billCodesOfCustomer(*m_data->connection(), code);

    bool removedFromList = false;
    const bool done = tryInTransaction(*m_data->connection(), [&] {
        Records::deleteCustomerDetails(*m_data->connection(), code, bills);
        customers->remove();
        removedFromList = true;
    });
    if (!done) {
        if (removedFromList)
            customers->refresh(); // the row is back in the table: show it again
        Messages::confirm(m_parent, QStringLiteral("删除记录失败!"), Msg::Buttons::Ok);
    }
    return done;
}

void RecordCommands::DelContact(const OperatorContext &op)
{
    Dataset *contacts = m_data->Qry_Contact;
    if (!contacts->isOpen() || contacts->isEmpty())
        return;
    if (op.permit == 1 && contacts->text(QStringLiteral("F_User")) != op.name) {
        Messages::confirm(m_parent, QStringLiteral("不是你的联系人，你没有权限删除！"), Msg::Buttons::Ok);
        return;
    }
    if (Messages::confirm(m_parent, QStringLiteral("你确定要删除该联系人吗！"), Msg::Buttons::YesNoDefaultNo) == Msg::Answer::Yes)
        contacts->remove();
}

void RecordCommands::DelSchedule(const OperatorContext &op)
{
    Dataset *schedules = m_data->Qry_Schedule;
    if (!schedules->isOpen() || schedules->isEmpty())
        return;
    if (op.permit == 1 && schedules->text(QStringLiteral("F_User")) != op.name) {
        Messages::box(m_parent, QStringLiteral("不是你的联系活动，你没有权限删除！"), Warning, Msg::Icon::Information);
        return;
    }
    if (Messages::box(m_parent, QStringLiteral("您确定要删除这条联系活动记录吗？"), Warning, Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo) == Msg::Answer::Yes)
        schedules->remove();
}

void RecordCommands::DelDaily()
{
    Dataset *daily = m_data->Qry_Daily;
    if (!daily->isOpen() || daily->isEmpty())
        return;
    if (Messages::box(m_parent, QStringLiteral("您确定要删除这条日记记录吗？"), Warning, Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo) == Msg::Answer::Yes)
        daily->remove();
}

void RecordCommands::DelGoods()
{
    Dataset *goods = m_data->Qry_Goods;
    if (!goods->isOpen() || goods->isEmpty())
        return;
    const QString code = goods->text(QStringLiteral("GoodsCode"));
    if (Messages::confirm(m_parent, QStringLiteral("您确定要删除这条商品记录吗？"), Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return;
    bool removed = false;
    const bool done = tryInTransaction(*m_data->connection(), [&] {
        Records::deleteGoodsLines(*m_data->connection(), code);
        goods->remove();
        removed = true;
    });
    if (!done) {
        if (removed)
            goods->refresh();
        Messages::confirm(m_parent, QStringLiteral("删除商品记录失败!"), Msg::Buttons::YesNo);
    }
}

void RecordCommands::DelBill()
{
    if (Messages::box(m_parent, QStringLiteral("你确定要删除这条单据吗？"), QStringLiteral("警告 "), Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return;
    Dataset *bills = m_data->Qry_Bill;
    bool removed = false;
    const bool done = tryInTransaction(*m_data->connection(), [&] {
        if (!bills->isOpen() || bills->isEmpty())
            throw DbError(QStringLiteral("没有当前单据"));
        const QString code = bills->text(QStringLiteral("BillCode"));
        bills->remove();
        removed = true;
        Records::deleteBillLines(*m_data->connection(), code);
    });
    if (!done) {
        if (removed)
            bills->refresh();
        Messages::confirm(m_parent, QStringLiteral("删除记录失败!"), Msg::Buttons::YesNo);
    }
}
