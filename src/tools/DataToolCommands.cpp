#include "DataToolCommands.h"
#include "TFrm_Backup.h"
#include "TFrm_ClearData.h"
#include "TFrm_Import.h"
#include "TFrm_OpenDatabase.h"
#include "data/TFrm_Data.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/SettingKeys.h"
#include "store/queries/Maintenance.h"
#include "ui/Commands.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressDialog>

void closeChildWindows(Session *session)
{
    QWidget *frame = session->dialogParent();
    auto *area = frame ? frame->findChild<QMdiArea *>() : nullptr;
    if (!area)
        return;
    QList<QMdiSubWindow *> windows = area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->close();
}

bool compactDatabase(Session *session)
{
    QWidget *parent = session->dialogParent();
    closeChildWindows(session);
    TFrm_Data *data = session->data();
    const QString current = data->databasePath();
    // On a server the server's database is tidied (VACUUM ANALYZE); otherwise always the
    // local file, also when the program works on another one.
    const QString local = Connection::isServerLocation(current) ? current
                                                                : ProgramDir::file(QStringLiteral("DataBase/Custom.mdb"));
    const bool readOnly = data->isReadOnly();
    data->closeConnection();
    bool compacted = false;
    {
        QProgressDialog bar(QStringLiteral("正在压缩数据库…"), QString(), 0, 0, parent);
        bar.setObjectName(QStringLiteral("CompactProgress"));
        bar.setWindowTitle(QStringLiteral("压缩和修复数据库"));
        bar.setWindowModality(Qt::WindowModal);
        bar.setMinimumDuration(0);
        bar.setValue(0);
        QApplication::processEvents();
        WaitCursor wait;
        compacted = Maintenance::compactFile(local);
    }
    Messages::plain(parent, compacted ? QStringLiteral("压缩数据库成功!") : QStringLiteral("压缩数据库失败!"));
    try {
        data->switchDatabase(current, readOnly);
    } catch (const DbError &error) {
        Messages::errorReport(parent, error.text());
    }
    return compacted;
}

bool openDatabase(Session *session)
{
    QWidget *parent = session->dialogParent();
    closeChildWindows(session);
    TFrm_Data *data = session->data();
    TFrm_OpenDatabase choice(data->databasePath(), parent);
    if (choice.exec() != QDialog::Accepted)
        return false;
    const QString path = choice.location();
    try {
        WaitCursor wait;
        data->switchDatabase(path);
    } catch (const DbError &error) {
        Messages::errorReport(parent, error.text());
        return false;
    }
    Setting::DBConn.write(data->settings(), path);
    return true;
}

void installDataToolCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::ImportCustomers), [session] { TFrm_Import::importCommand(session); });
    session->setHandler(QString::fromLatin1(Cmd::M_Backup), [session] {
        TFrm_Backup window(session, session->dialogParent());
        window.exec();
    });
    session->setHandler(QString::fromLatin1(Cmd::M_ClearData), [session] {
        TFrm_ClearData window(session, session->dialogParent());
        window.exec();
    });
    session->setHandler(QString::fromLatin1(Cmd::M_CompactDB), [session] { compactDatabase(session); });
    session->setHandler(QString::fromLatin1(Cmd::OpenDatabase), [session] { openDatabase(session); });
}
