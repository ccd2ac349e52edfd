#pragma once

#include "store/queries/Customers.h"

#include <QDialog>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_S_Cust; }

// Customer search: up to eighteen conditions joined with AND into one statement over
// the customer table; the result is loaded into the customer browser's list. Without
// the view-all right the salesman is the operator and cannot be changed, so every
// search stays within the operator's own customers.
class TFrm_S_Cust : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_S_Cust(Session *session);
    ~TFrm_S_Cust() override;

    // What the inputs ask for, text as typed.
    Customers::Search criteria() const;
    // The condition of every filled input, in input order, with its :Name placeholder.
    QStringList conditions() const;
    // The search statement; empty when no input is filled. The values it binds:
    QString statement() const;
    QVariantMap parameters() const;
    // Runs the search: the message "没有查询项目!" when nothing is filled, otherwise the
    // browser's list is loaded with the statement and the dialog closes.
    void search();
    // Empties the text inputs and lists; the salesman and the dates keep their state.
    void reset();
    // Fills the salesman list from the operators (done whenever the list drops down).
    void fillSalesmen();

private:
    void fillLists();
    void lookupCategory();

    std::unique_ptr<Ui::TFrm_S_Cust> ui;
    Session *m_session;
    TFrm_Data *m_data;
};
