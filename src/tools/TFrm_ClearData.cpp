#include "TFrm_ClearData.h"
#include "ui_TFrm_ClearData.h"
#include "data/TFrm_Data.h"
#include "store/queries/ClearData.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

TFrm_ClearData::TFrm_ClearData(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_ClearData>()), m_session(session)
{
    ui->setupUi(this);
    ui->CLB_Data->clear();
    for (const QString &caption : ClearData::offeredActions(*session->data()->connection())) {
        auto *item = new QListWidgetItem(caption, ui->CLB_Data);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (ui->CLB_Data->count() > 0)
        ui->CLB_Data->setCurrentRow(0);
    connect(ui->Btn_OK, &QPushButton::clicked, this, [this] { clear(); });
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_ClearData::~TFrm_ClearData() = default;

bool TFrm_ClearData::clear()
{
    if (Messages::confirm(this, QStringLiteral("提醒,执行本操作您将丢失所有的数据,您确定要数据初始化吗?"),
                          Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return false;
    QStringList ticked;
    for (int row = 0; row < ui->CLB_Data->count(); ++row)
        if (ui->CLB_Data->item(row)->checkState() == Qt::Checked)
            ticked.append(ui->CLB_Data->item(row)->text());
    bool cleared = false;
    {
        WaitCursor wait;
        cleared = ClearData::run(*m_session->data()->connection(), ticked);
    }
    if (cleared)
        Messages::confirm(this, QStringLiteral("数据初始化成功!"), Msg::Buttons::Ok);
    else
        Messages::confirm(this, QStringLiteral("数据初始化失败!"), Msg::Buttons::Ok);
    return cleared;
}
