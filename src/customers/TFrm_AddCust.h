#pragma once

#include "ui/RecordEditor.h"

#include <QVariant>
#include <memory>

class Dataset;
class QAction;
class QComboBox;
class QLineEdit;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddCust; }

// The customer editor: one row of Custom, appended to (add mode) or changed in (edit
// mode) the shared customer list Qry_Cust, so the browser shows the result at once.
// Add mode proposes the next free customer code and loops (save, reset, next customer)
// until closed. Edit mode walks the list with the navigator; a changed code or company
// name is carried to the customer's contacts and schedules in the same transaction,
// matching the code exactly as the customer row stores it.
class TFrm_AddCust : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddCust(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddCust() override;

    // The code of the chosen category, stored in Custom.Category; the input shows its name.
    QString categoryCode() const { return m_categoryCode; }
    // Edit mode: the code (as stored) and the company name of the row as loaded (or last saved).
    QVariant loadedCode() const { return m_loadedCode; }
    QString loadedName() const { return m_loadedName; }

    void save();           // Btn_OK
    void chooseCategory(); // the browse button of Edit_Category
    void addContact();     // BitBtn1

protected:
    void showSteps() override;
    void loadRecord() override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillLists();
    void resetForNext();
    void proposeCode();
    void autoClicked(bool checked);
    void closingSteps();
    void remind(const QString &text, QWidget *focus = nullptr);
    void writeColumns(Dataset *customers, qint64 code, const QString &company, bool withDate);
    void saveNew(qint64 code, const QString &company);
    void saveChanges(qint64 code, const QString &company);

    std::unique_ptr<Ui::TFrm_AddCust> ui;
    QAction *m_categoryButton; // Btn_Category, the browse button inside Edit_Category
    Session *m_session;
    TFrm_Data *m_data;
    QString m_categoryCode;
    QVariant m_loadedCode;
    QString m_loadedName;
    bool m_shown = false;
};
