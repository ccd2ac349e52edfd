#pragma once

#include <QDialog>
#include <QVariantList>
#include <functional>
#include <memory>

class Session;
namespace Ui {
class TFrm_P_LabelGB;
}

// The print dialog of envelope labels ("1"), envelopes ("2") and customer basic data
// ("3"): recipient mode, default recipient, range; it fills the report rows and shows the
// report's preview, or opens the report's designer.
class TFrm_P_LabelGB : public QDialog
{
    Q_OBJECT
public:
    // The customer codes to print: the selected ones of the customer list, or all listed
    // ones; an empty list when there is no customer list or nothing in it.
    using CustomerCodes = std::function<QVariantList(bool all)>;

    TFrm_P_LabelGB(Session *session, CustomerCodes codes, QWidget *parent = nullptr);
    ~TFrm_P_LabelGB() override;

    // "1", "2" or "3"; set before the dialog is shown.
    void setPrintKind(const QString &kind);
    QString printKind() const { return PrintKind; }
    // The report of a print kind: fr_EnveLabel, fr_Envelop, fr_CustBasic.
    static QString reportOf(const QString &kind);

    void print();
    void design();

private:
    void typeChanged(int index);

    std::unique_ptr<Ui::TFrm_P_LabelGB> ui;
    Session *m_session;
    CustomerCodes m_codes;
    QString PrintKind = QStringLiteral("1");
};
