#include "TFrm_AddSchedule.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/DbError.h"
#include "store/SqlText.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString Notice = QStringLiteral("提醒");
const QString Warning = QStringLiteral("警告");

// Empties an editable pick list's text, keeping its items.
void clearText(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

} // namespace

TFrm_AddSchedule::TFrm_AddSchedule(TFrm_Main *mainWindow, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_AddSchedule"));
    buildForm();
}

TFrm_AddSchedule::~TFrm_AddSchedule() = default;

void TFrm_AddSchedule::buildForm()
{
    GroupBox1 = new QGroupBox(QStringLiteral(" 联系活动 "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    auto combo = [this](const char *name, bool editable) {
        auto *c = new QComboBox(GroupBox1);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(editable);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(10);
        return c;
    };
    auto dateEdit = [this](const char *name) {
        auto *d = new QDateEdit(QDate::currentDate(), GroupBox1);
        d->setObjectName(QString::fromLatin1(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        return d;
    };
    Combo_Subject = combo("Combo_Subject", true);
    Combo_Type = combo("Combo_Type", true);
    Combo_Type->addItems({QStringLiteral("电话"), QStringLiteral("会面"), QStringLiteral("事务")});
    // The company is the customer's and is only shown.
    Combo_Company = combo("Combo_Company", false);
    Combo_Company->setEnabled(false);
    Combo_Contact = combo("Combo_Contact", true);
    DateTimePicker1 = dateEdit("DateTimePicker1");
    CB_AwokeDate = new QCheckBox(GroupBox1);
    CB_AwokeDate->setObjectName(QStringLiteral("CB_AwokeDate"));
    CB_AwokeDate->setToolTip(QStringLiteral("勾选后保存提醒时间"));
    DateTimePicker2 = dateEdit("DateTimePicker2");
    DateTimePicker2->setEnabled(false);
    CB_Awoke = new QCheckBox(QStringLiteral("需要提醒"), GroupBox1);
    CB_Awoke->setObjectName(QStringLiteral("CB_Awoke"));
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);

    auto *reminder = new QHBoxLayout;
    reminder->setSpacing(4);
    reminder->addWidget(CB_AwokeDate);
    reminder->addWidget(DateTimePicker2, 1);

    using EditorForm::label;
    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(label(QStringLiteral("活动主题"), 'Z', Combo_Subject), 0, 0);
    grid->addWidget(Combo_Subject, 0, 1);
    grid->addWidget(label(QStringLiteral("活动类型"), 'L', Combo_Type), 0, 2);
    grid->addWidget(Combo_Type, 0, 3);
    grid->addWidget(label(QStringLiteral("相关客户"), 'K', Combo_Company), 1, 0);
    grid->addWidget(Combo_Company, 1, 1);
    grid->addWidget(label(QStringLiteral("相关联系人"), 'C', Combo_Contact), 1, 2);
    grid->addWidget(Combo_Contact, 1, 3);
    grid->addWidget(label(QStringLiteral("联系时间"), 'D', DateTimePicker1), 2, 0);
    grid->addWidget(DateTimePicker1, 2, 1);
    // The reminder date's label leads to the tick box that switches the date on.
    QLabel *reminderLabel = label(QStringLiteral("提醒时间"), 'T', CB_AwokeDate);
    reminderLabel->setObjectName(QStringLiteral("Label_DateTimePicker2"));
    grid->addWidget(reminderLabel, 2, 2);
    grid->addLayout(reminder, 2, 3);
    grid->addWidget(CB_Awoke, 3, 3);
    QLabel *memoLabel = label(QStringLiteral("活动描述"), 'M', Memo1);
    memoLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(memoLabel, 4, 0);
    grid->addWidget(Memo1, 4, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    DBNavigator1 = new RecordNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    Btn_OK = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("新增(&A)"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&Q)"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    Btn_Exit->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DBNavigator1);
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    EditorForm::tabOrder({Combo_Subject, Combo_Type, Combo_Company, Combo_Contact, DateTimePicker1, CB_AwokeDate,
                          DateTimePicker2, CB_Awoke, Memo1, Btn_OK, Btn_Exit});
    resize(580, 360);

    connect(Btn_OK, &QPushButton::clicked, this, &TFrm_AddSchedule::save);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBNavigator1, &RecordNavigator::moved, this, [this] { guarded(this, [this] { loadSchedule(); }); });
    connect(CB_AwokeDate, &QCheckBox::toggled, DateTimePicker2, &QWidget::setEnabled);
    // The operator's tick on the reminder date carries over to "需要提醒"; loading a row
    // sets both boxes on their own, so a stored combination is shown as it is.
    connect(CB_AwokeDate, &QCheckBox::clicked, CB_Awoke, &QCheckBox::setChecked);
    Combo_Contact->installEventFilter(this);
}

void TFrm_AddSchedule::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

void TFrm_AddSchedule::setCompany(const QString &company)
{
    Combo_Company->clear();
    if (!company.isEmpty())
        Combo_Company->addItem(company);
    Combo_Company->setCurrentIndex(company.isEmpty() ? -1 : 0);
}

void TFrm_AddSchedule::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded(this, [this] { showSteps(); });
}

void TFrm_AddSchedule::showSteps()
{
    fillSubjects();
    if (m_mode == EditorMode::Add) {
        clearForNext();
        // The new schedule belongs to the customer selected in the customer list.
        Dataset *customers = m_data->Qry_Cust;
        setCompany(customers->text(QStringLiteral("Company")));
        m_custCode = customers->value(QStringLiteral("CustCode"));
        setWindowTitle(QStringLiteral("添加联系活动"));
        DBNavigator1->setEnabled(false);
        Btn_OK->setText(QStringLiteral("新增(&A)"));
        CB_AwokeDate->setChecked(false);
        CB_Awoke->setChecked(false);
    } else {
        setWindowTitle(QStringLiteral("编辑联系活动"));
        Btn_OK->setText(QStringLiteral("保存(&S)"));
        DBNavigator1->setDataset(m_data->Qry_Schedule);
        loadSchedule();
    }
}

void TFrm_AddSchedule::fillSubjects()
{
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from T_Other where cataid='subject'"));
    const int name = temp->checkedFieldIndex(QStringLiteral("Name"));
    Combo_Subject->clear();
    for (int row = 0; row < temp->recordCount(); ++row)
        Combo_Subject->addItem(temp->value(row, name).toString().trimmed());
    clearText(Combo_Subject);
}

// The contacts of the company shown. The text in the box stays: a loaded or typed
// contact is kept when the operator merely passes through the box.
void TFrm_AddSchedule::fillContacts()
{
    const QString text = Combo_Contact->currentText();
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from Contact where company=")
                                  + SqlText::quoted(Combo_Company->currentText()));
    const int name = temp->checkedFieldIndex(QStringLiteral("ContactName"));
    Combo_Contact->clear();
    for (int row = 0; row < temp->recordCount(); ++row)
        Combo_Contact->addItem(temp->value(row, name).toString().trimmed());
    EditorForm::setComboText(Combo_Contact, text);
}

void TFrm_AddSchedule::loadSchedule()
{
    Dataset *s = m_data->Qry_Schedule;
    // An ordinary operator may read a colleague's schedule but not save it, for as long
    // as the editor is open.
    if (m_main->Permit != 0 && s->text(QStringLiteral("F_User")) != m_main->OperatorName)
        m_locked = true;
    Btn_OK->setEnabled(!m_locked);

    CB_Awoke->setChecked(s->boolean(QStringLiteral("Awoke")));
    EditorForm::setComboText(Combo_Subject, s->text(QStringLiteral("Subject")));
    EditorForm::setComboText(Combo_Type, s->text(QStringLiteral("Type")));
    setCompany(s->text(QStringLiteral("Company")));
    EditorForm::setComboText(Combo_Contact, s->text(QStringLiteral("Contact")));
    const QDate start = s->date(QStringLiteral("StartDate"));
    DateTimePicker1->setDate(start.isValid() ? start : QDate::currentDate());
    const QDate awoke = s->date(QStringLiteral("AwokeDate"));
    DateTimePicker2->setDate(awoke.isValid() ? awoke : QDate::currentDate());
    CB_AwokeDate->setChecked(awoke.isValid());
    Memo1->setPlainText(s->text(QStringLiteral("Memo")));
}

void TFrm_AddSchedule::clearForNext()
{
    clearText(Combo_Subject);
    clearText(Combo_Type);
    clearText(Combo_Contact);
    Memo1->clear();
    DateTimePicker1->setDate(QDate::currentDate());
}

bool TFrm_AddSchedule::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the contact box (not coming back from its own list or another window)
    // offers the company's contacts.
    if (watched == Combo_Contact && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            guarded(this, [this] { fillContacts(); });
    }
    return QDialog::eventFilter(watched, event);
}

bool TFrm_AddSchedule::checkInputs()
{
    if (Combo_Subject->currentText().isEmpty()) { // a subject of blanks passes
        Messages::box(this, QStringLiteral("主题不能为空!"), Notice, Msg::Icon::Information);
        Combo_Subject->setFocus();
        return false;
    }
    if (Combo_Company->currentText().isEmpty()) {
        Messages::box(this, QStringLiteral("请选择一个公司名称"), Warning, Msg::Icon::Information);
        return false;
    }
    return true;
}

void TFrm_AddSchedule::writeRow()
{
    Dataset *s = m_data->Qry_Schedule;
    const int previousRow = s->currentRow();
    if (m_mode == EditorMode::Add) {
        if (!s->isOpen() && !s->sql().isEmpty())
            s->open();
        s->append();
    } else {
        s->edit();
    }
    try {
        // Also when the list is not following the customer list, a new schedule is
        // stored with the code of the customer it names.
        if (m_mode == EditorMode::Add && m_custCode.isValid() && !m_custCode.isNull())
            s->setValue(QStringLiteral("CustCode"), m_custCode.toString());
        s->setValue(QStringLiteral("Awoke"), CB_Awoke->isChecked());
        s->setValue(QStringLiteral("Subject"), Combo_Subject->currentText());
        s->setValue(QStringLiteral("Type"), Combo_Type->currentText());
        s->setValue(QStringLiteral("Company"), Combo_Company->currentText());
        s->setValue(QStringLiteral("Contact"), Combo_Contact->currentText());
        s->setValue(QStringLiteral("StartDate"), DateTimePicker1->date());
        s->setValue(QStringLiteral("AwokeDate"), CB_AwokeDate->isChecked() ? QVariant(DateTimePicker2->date()) : QVariant());
        s->setValue(QStringLiteral("Memo"), Memo1->toPlainText());
        s->setValue(QStringLiteral("F_User"), m_main->OperatorName);
        s->post();
    } catch (...) {
        // A refused row leaves the list as it was stored, not half edited.
        if (s->state() == Dataset::State::Edit || s->state() == Dataset::State::Insert) {
            s->cancel();
            s->setCurrentRow(previousRow);
        }
        throw;
    }
}

void TFrm_AddSchedule::save()
{
    if (!Btn_OK->isEnabled())
        return;
    // A refused save keeps the dialog open with what was typed, in both modes; a
    // database error is reported and keeps it open as well.
    if (!checkInputs())
        return;
    if (!guarded(this, [this] { writeRow(); }))
        return;
    if (m_mode == EditorMode::Add)
        clearForNext();
    else
        accept();
}
