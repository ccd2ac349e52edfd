#include "TFrm_OpenDatabase.h"
#include "ui_TFrm_OpenDatabase.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/ServerDatabase.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/WaitCursor.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString Caption = QStringLiteral("连接网络数据库");
}

TFrm_OpenDatabase::TFrm_OpenDatabase(const QString &current, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_OpenDatabase>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_OpenDatabase"));
    if (Connection::isServerLocation(current)) {
        const auto address = ServerDatabase::Address::fromUri(current);
        ui->RB_Server->setChecked(true);
        ui->Edit_Host->setText(address.host);
        ui->Edit_Port->setValue(address.port);
        ui->Edit_Database->setText(address.database);
        ui->Edit_User->setText(address.user);
    } else {
        ui->Edit_File->setText(QDir::toNativeSeparators(current));
        ui->Edit_Host->setText(QStringLiteral("localhost"));
        ui->Edit_Database->setText(QStringLiteral("kehu"));
    }
    connect(ui->RB_File, &QRadioButton::toggled, this, &TFrm_OpenDatabase::updateEnabled);
    connect(ui->Btn_Browse, &QPushButton::clicked, this, &TFrm_OpenDatabase::browse);
    connect(ui->Btn_Test, &QPushButton::clicked, this, [this] { testConnection(); });
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_OpenDatabase::accept);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    updateEnabled();
}

TFrm_OpenDatabase::~TFrm_OpenDatabase() = default;

void TFrm_OpenDatabase::updateEnabled()
{
    const bool file = ui->RB_File->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(ui->Edit_File), static_cast<QWidget *>(ui->Btn_Browse)})
        w->setEnabled(file);
    for (QWidget *w : {static_cast<QWidget *>(ui->Edit_Host), static_cast<QWidget *>(ui->Edit_Port),
                       static_cast<QWidget *>(ui->Edit_Database), static_cast<QWidget *>(ui->Edit_User),
                       static_cast<QWidget *>(ui->Btn_Test)})
        w->setEnabled(!file);
}

QString TFrm_OpenDatabase::location() const
{
    if (ui->RB_File->isChecked())
        return QDir::fromNativeSeparators(ui->Edit_File->text().trimmed());
    ServerDatabase::Address address;
    address.host = ui->Edit_Host->text();
    address.port = ui->Edit_Port->value();
    address.database = ui->Edit_Database->text();
    address.user = ui->Edit_User->text();
    return address.uri();
}

void TFrm_OpenDatabase::browse()
{
    const QString start = QFileInfo(location()).absolutePath();
    const QString path = Platform::openFileName(this, Caption, start,
                                                QStringLiteral("Access数据库 (*.mdb *.MDB);;所有文件 (*)"));
    if (!path.isEmpty())
        ui->Edit_File->setText(QDir::toNativeSeparators(path));
}

bool TFrm_OpenDatabase::testConnection()
{
    if (ui->Edit_Database->text().trimmed().isEmpty()) {
        Messages::plain(this, QStringLiteral("请输入数据库名称!"));
        ui->Edit_Database->setFocus();
        return false;
    }
    try {
        WaitCursor wait;
        Connection::open(location());
    } catch (const DbError &error) {
        Messages::plain(this, QStringLiteral("连接失败!\n") + error.text());
        return false;
    }
    Messages::plain(this, QStringLiteral("连接成功!"));
    return true;
}

void TFrm_OpenDatabase::accept()
{
    if (ui->RB_File->isChecked() && ui->Edit_File->text().trimmed().isEmpty()) {
        Messages::plain(this, QStringLiteral("请选择数据库文件!"));
        ui->Btn_Browse->setFocus();
        return;
    }
    if (ui->RB_Server->isChecked() && ui->Edit_Database->text().trimmed().isEmpty()) {
        Messages::plain(this, QStringLiteral("请输入数据库名称!"));
        ui->Edit_Database->setFocus();
        return;
    }
    QDialog::accept();
}
