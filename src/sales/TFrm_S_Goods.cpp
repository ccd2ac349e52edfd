#include "TFrm_S_Goods.h"
#include "ui_TFrm_S_Goods.h"
#include "data/TFrm_Data.h"
#include "store/queries/Goods.h"
#include "ui/Guarded.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QStyle>

TFrm_S_Goods::TFrm_S_Goods(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_S_Goods>()), m_session(session)
{
    ui->setupUi(this);
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_S_Goods::search);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_S_Goods::~TFrm_S_Goods() = default;

void TFrm_S_Goods::search()
{
    const bool found = guarded(this, [this] {
        WaitCursor wait;
        Goods::openSearch(*m_session->data()->Qry_Goods,
                          {ui->Edit_Code->text(), ui->Edit_Name->text(), ui->Edit_Unit->text()},
                          Goods::SearchStyle::Search);
    });
    if (found)
        accept();
}
