#pragma once

#include "ui/RecordEditor.h"

#include <QString>
#include <QVariant>
#include <memory>

class Dataset;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddBill; }

// The sales bill editor: a bill header and its lines. The lines live in the shared line
// cache Qry_BillDetail from opening to saving; saving writes the header and every line
// in one transaction, under the number shown, and leaving without saving changes nothing.
class TFrm_AddBill : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddBill(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddBill() override;

    QString billNumber() const;
    // The total of the lines shown (unsaved ones included), rounded to cents.
    double linesTotal() const;
    // Lines added, changed or deleted since the bill was opened.
    bool hasPendingLines() const;
    // Typed header values or lines not saved yet: leaving asks first.
    bool hasUnsavedChanges() const override { return RecordEditor::hasUnsavedChanges() || hasPendingLines(); }

    void addLines();   // "增行" and the grid's column buttons: the goods picker for this bill
    void deleteLine(); // "删行"
    void save();       // Btn_OK
    void print();      // BitBtn2

protected:
    void showSteps() override;
    void done(int result) override;

private:
    void newNumber();
    void writeBill();
    void writeHeader();

    std::unique_ptr<Ui::TFrm_AddBill> ui;
    Session *m_session;
    TFrm_Data *m_data;
    QVariant m_custCode; // as the customer row stores it
    bool m_closed = false;
};
