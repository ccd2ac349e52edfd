#include "TFrm_Softinfo.h"
#include "ui_TFrm_Softinfo.h"
#include "data/TFrm_Data.h"
#include "store/queries/Company.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

TFrm_Softinfo::TFrm_Softinfo(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Softinfo>()), m_info(session->data()->Qry_Custom)
{
    ui->setupUi(this);
    m_inputs = {{ui->Edit_name, QStringLiteral("Company")}, {ui->Edit_user, QStringLiteral("Regname")},
                {ui->Edit_address, QStringLiteral("Address")}, {ui->Edit_zip, QStringLiteral("Postcode")},
                {ui->Edit_tel, QStringLiteral("tel")}, {ui->Edit_fax, QStringLiteral("fax")}};

    // The row is held open from start-up; should it have been closed, it is read again.
    if (!m_info->isOpen())
        Company::openInfo(*m_info);
    for (const Input &input : std::as_const(m_inputs))
        input.edit->setText(m_info->text(input.column));

    connect(ui->btn_ok, &QPushButton::clicked, this, [this] { save(); });
    connect(ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Softinfo::~TFrm_Softinfo() = default;

void TFrm_Softinfo::save()
{
    const bool saved = guarded(this, [this] {
        if (m_info->isEmpty())
            m_info->append();
        else
            m_info->edit();
        try {
            for (const Input &input : std::as_const(m_inputs))
                m_info->setValue(input.column, input.edit->text().trimmed());
            m_info->post();
        } catch (...) {
            // The shared row keeps what is stored; the inputs keep what was typed.
            m_info->cancel();
            throw;
        }
    });
    if (!saved)
        return;
    Messages::plain(this, QStringLiteral("修改成功!"));
    accept();
}
