#include "TFrm_AddDaily.h"
#include "TFrm_Daily.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

TFrm_AddDaily::TFrm_AddDaily(TFrm_Main *mainWindow, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_AddDaily"));
    buildForm();
}

TFrm_AddDaily::~TFrm_AddDaily() = default;

void TFrm_AddDaily::buildForm()
{
    GroupBox1 = new QGroupBox(QStringLiteral(" 日记 "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    Edit_Subject = new QLineEdit(GroupBox1);
    Edit_Subject->setObjectName(QStringLiteral("Edit_Subject"));
    DateTimePicker1 = new QDateEdit(QDate::currentDate(), GroupBox1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker1->setMinimumWidth(DateTimePicker1->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 48);
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);

    auto label = [this](const char *name, const QString &text, QWidget *buddy, Qt::Alignment vertical) {
        auto *l = new QLabel(text, GroupBox1);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        l->setAlignment(Qt::AlignRight | vertical);
        return l;
    };
    Label_Subject = label("Label_Subject", QStringLiteral("主题"), Edit_Subject, Qt::AlignVCenter);
    Label_Date = label("Label_Date", QStringLiteral("时间"), DateTimePicker1, Qt::AlignVCenter);
    Label_Content = label("Label_Content", QStringLiteral("内容"), Memo1, Qt::AlignTop);
    // The content label sits level with the first line of text, not the frame's edge.
    Label_Content->setContentsMargins(0, 4, 0, 0);

    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(Label_Subject, 0, 0);
    grid->addWidget(Edit_Subject, 0, 1);
    grid->addWidget(Label_Date, 0, 2);
    grid->addWidget(DateTimePicker1, 0, 3);
    grid->addWidget(Label_Content, 1, 0);
    grid->addWidget(Memo1, 1, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    DBNavigator1 = new RecordNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    Btn_OK = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("新增(&A)"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_Exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&Q)"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    for (QPushButton *b : {Btn_OK, Btn_Exit})
        b->setAutoDefault(false); // Enter in the subject does not save by accident

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DBNavigator1);
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    EditorForm::tabOrder({Edit_Subject, DateTimePicker1, Memo1, Btn_OK, Btn_Exit});
    resize(520, 360);

    connect(Btn_OK, &QPushButton::clicked, this, &TFrm_AddDaily::save);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBNavigator1, &RecordNavigator::moved, this, [this] { guarded(this, [this] { loadEntry(); }); });
}

void TFrm_AddDaily::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

void TFrm_AddDaily::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded(this, [this] { showSteps(); });
}

void TFrm_AddDaily::showSteps()
{
    if (m_mode == EditorMode::Add) {
        setWindowTitle(QStringLiteral("新建日记"));
        Btn_OK->setText(QStringLiteral("新增(&A)"));
        DBNavigator1->setDataset(nullptr);
        DBNavigator1->setEnabled(false);
        clearInputs();
    } else {
        setWindowTitle(QStringLiteral("编辑日记"));
        Btn_OK->setText(QStringLiteral("保存(&A)"));
        DBNavigator1->setDataset(m_data->Qry_Daily);
        loadEntry();
    }
    Edit_Subject->setFocus();
}

void TFrm_AddDaily::clearInputs()
{
    Edit_Subject->clear();
    Memo1->clear();
    DateTimePicker1->setDate(QDate::currentDate());
}

// The current entry into the inputs; an empty list gives empty inputs. An entry
// without a date shows today's date rather than an invalid one.
void TFrm_AddDaily::loadEntry()
{
    Dataset *daily = m_data->Qry_Daily;
    Edit_Subject->setText(daily->text(QStringLiteral("Subject")));
    Memo1->setPlainText(daily->text(QStringLiteral("Content")));
    const QDate date = daily->date(QStringLiteral("AddDate"));
    DateTimePicker1->setDate(date.isValid() ? date : QDate::currentDate());
}

void TFrm_AddDaily::save()
{
    if (Edit_Subject->text().isEmpty()) { // a subject of blanks passes
        Messages::box(this, QStringLiteral("主题不能为空!"), QString(), Msg::Icon::Information);
        // The editor stays open with what was typed, in either mode.
        Edit_Subject->setFocus();
        return;
    }
    const bool saved = writeEntry();
    if (m_mode == EditorMode::Add) {
        if (saved)
            clearInputs();
        Edit_Subject->setFocus();
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
        // Opened from the command alone, the diary has no list yet: the operator's own.
        if (!daily->isOpen())
            TFrm_Data::RunQuery(daily, TFrm_Daily::ownEntriesSql(m_main->OperatorName));
        const int previous = daily->currentRow();
        try {
            if (m_mode == EditorMode::Edit && !daily->isEmpty() && daily->currentRow() >= 0)
                daily->edit();
            else
                daily->append();
            daily->setValue(QStringLiteral("Subject"), Edit_Subject->text());
            daily->setValue(QStringLiteral("Content"), Memo1->toPlainText());
            daily->setValue(QStringLiteral("AddDate"), DateTimePicker1->date());
            daily->setValue(QStringLiteral("author"), m_main->OperatorName);
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
