#include "TFrm_AddDaily.h"
#include "ui_TFrm_AddDaily.h"
#include "data/TFrm_Data.h"
#include "store/queries/Diary.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QStyle>

TFrm_AddDaily::TFrm_AddDaily(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddDaily>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    // The content label sits level with the first line of text, not the frame's edge.
    ui->Label_Content->setContentsMargins(0, 4, 0, 0);
    ui->DateTimePicker1->setDate(QDate::currentDate());
    ui->DateTimePicker1->setMinimumWidth(
        ui->DateTimePicker1->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 48);
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setNavigator(ui->DBNavigator1);

    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddDaily::save);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddDaily::~TFrm_AddDaily() = default;

void TFrm_AddDaily::showSteps()
{
    if (isAdding()) {
        setWindowTitle(QStringLiteral("新建日记"));
        ui->Btn_OK->setText(QStringLiteral("新增(&A)"));
        ui->DBNavigator1->setDataset(nullptr);
        ui->DBNavigator1->setEnabled(false);
        clearInputs();
    } else {
        setWindowTitle(QStringLiteral("编辑日记"));
        ui->Btn_OK->setText(QStringLiteral("保存(&A)"));
        ui->DBNavigator1->setDataset(m_data->Qry_Daily);
        loadRecord();
    }
    ui->Edit_Subject->setFocus();
}

void TFrm_AddDaily::clearInputs()
{
    ui->Edit_Subject->clear();
    ui->Memo1->clear();
    ui->DateTimePicker1->setDate(QDate::currentDate());
}

// The current entry into the inputs; an empty list gives empty inputs. An entry
// without a date shows today's date rather than an invalid one.
void TFrm_AddDaily::loadRecord()
{
    Dataset *daily = m_data->Qry_Daily;
    ui->Edit_Subject->setText(daily->text(QStringLiteral("Subject")));
    ui->Memo1->setPlainText(daily->text(QStringLiteral("Content")));
    const QDate date = daily->date(QStringLiteral("AddDate"));
    ui->DateTimePicker1->setDate(date.isValid() ? date : QDate::currentDate());
}

void TFrm_AddDaily::save()
{
    if (ui->Edit_Subject->text().isEmpty()) { // a subject of blanks passes
        Messages::box(this, QStringLiteral("主题不能为空!"), QString(), Msg::Icon::Information);
        // The editor stays open with what was typed, in either mode.
        ui->Edit_Subject->setFocus();
        return;
    }
    const bool saved = writeEntry();
    if (isAdding()) {
        if (saved) {
            clearInputs();
            markClean();
        }
        ui->Edit_Subject->setFocus();
    } else if (saved) {
        accept();
    }
}

// Writes the inputs into Qry_Daily: a new row in add mode, the current row in edit mode
// (a new row when the list has none). A refused statement is reported, the row left as
// it was and false returned.
bool TFrm_AddDaily::writeEntry()
{
    Dataset *daily = m_data->Qry_Daily;
    return guarded(this, [&] {
        // The diary belongs to no customer: a new entry takes nothing from the customer
        // list (whose current row has no author to give).
        daily->unlink();
        // Opened from the command alone, the diary has no list yet: the operator's own.
        if (!daily->isOpen())
            Diary::openOwn(*daily, m_session->operatorName());
        const int previous = daily->currentRow();
        try {
            if (!isAdding() && !daily->isEmpty() && daily->currentRow() >= 0)
                daily->edit();
            else
                daily->append();
            daily->setValue(QStringLiteral("Subject"), ui->Edit_Subject->text());
            daily->setValue(QStringLiteral("Content"), ui->Memo1->toPlainText());
            daily->setValue(QStringLiteral("AddDate"), ui->DateTimePicker1->date());
            daily->setValue(QStringLiteral("author"), m_session->operatorName());
            daily->post();
        } catch (...) {
            const bool inserting = daily->state() == Dataset::State::Insert;
            daily->cancel();
            if (inserting && previous >= 0)
                daily->setCurrentRow(previous);
            throw;
        }
    });
}
