#include "TFrm_Softinfo.h"
#include "data/TFrm_Data.h"
#include "ui/Guarded.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Each input with its label and the column of info it shows. Longer text than the
// column holds cannot be typed in.
struct InputEntry
{
    QLineEdit *TFrm_Softinfo::*input;
    const char *name;
    const char *caption;
    const char *column;
    int maxLength;
};

const InputEntry Inputs[] = {
    {&TFrm_Softinfo::Edit_name, "Edit_name", "公司名称：", "Company", 50},
    {&TFrm_Softinfo::Edit_user, "Edit_user", "联系人：", "Regname", 20},
    {&TFrm_Softinfo::Edit_address, "Edit_address", "通讯地址：", "Address", 50},
    {&TFrm_Softinfo::Edit_zip, "Edit_zip", "邮政编码：", "Postcode", 50},
    {&TFrm_Softinfo::Edit_tel, "Edit_tel", "电话：", "tel", 50},
    {&TFrm_Softinfo::Edit_fax, "Edit_fax", "传真：", "fax", 50},
};

} // namespace

TFrm_Softinfo::TFrm_Softinfo(TFrm_Data *data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Frm_Softinfo"));
    setWindowTitle(QStringLiteral("公司信息"));
    setModal(true);
    Qry_Custom = data->Qry_Custom;

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);
    form->setColumnStretch(1, 1);
    int row = 0;
    for (const InputEntry &entry : Inputs) {
        auto *input = new QLineEdit(this);
        input->setObjectName(QString::fromLatin1(entry.name));
        input->setMaxLength(entry.maxLength);
        input->setMinimumWidth(300);
        auto *label = new QLabel(QString::fromUtf8(entry.caption), this);
        label->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(entry.name).mid(5));
        label->setBuddy(input);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        form->addWidget(label, row, 0);
        form->addWidget(input, row, 1);
        this->*entry.input = input;
        ++row;
    }

    btn_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    btn_ok->setObjectName(QStringLiteral("btn_ok"));
    btn_ok->setDefault(true);
    btn_exit = new QPushButton(QStringLiteral("退出(&E)"), this);
    btn_exit->setObjectName(QStringLiteral("btn_exit"));
    btn_exit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_ok);
    buttons->addWidget(btn_exit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(14);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setTabOrder(Edit_name, Edit_user);
    setTabOrder(Edit_user, Edit_address);
    setTabOrder(Edit_address, Edit_zip);
    setTabOrder(Edit_zip, Edit_tel);
    setTabOrder(Edit_tel, Edit_fax);
    setTabOrder(Edit_fax, btn_ok);
    setTabOrder(btn_ok, btn_exit);

    // The row is held open from start-up; should it have been closed, it is read again.
    if (!Qry_Custom->isOpen())
        TFrm_Data::RunQuery(Qry_Custom, QStringLiteral("select * from info"));
    for (const InputEntry &entry : Inputs)
        (this->*entry.input)->setText(Qry_Custom->text(QString::fromLatin1(entry.column)));

    connect(btn_ok, &QPushButton::clicked, this, [this] { save(); });
    connect(btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Softinfo::~TFrm_Softinfo() = default;

void TFrm_Softinfo::save()
{
    const bool saved = guarded(this, [this] {
        if (Qry_Custom->isEmpty())
            Qry_Custom->append();
        else
            Qry_Custom->edit();
        try {
            for (const InputEntry &entry : Inputs)
                Qry_Custom->setValue(QString::fromLatin1(entry.column), (this->*entry.input)->text().trimmed());
            Qry_Custom->post();
        } catch (...) {
            // The shared row keeps what is stored; the inputs keep what was typed.
            Qry_Custom->cancel();
            throw;
        }
    });
    if (!saved)
        return;
    Messages::plain(this, QStringLiteral("修改成功!"));
    accept();
}
