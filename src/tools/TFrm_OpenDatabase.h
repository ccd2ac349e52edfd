#pragma once

#include <QDialog>
#include <memory>

namespace Ui { class TFrm_OpenDatabase; }

// "连接网络数据库": which database the program works on, a database file (a copy of the
// program's file, chosen with the file dialog) or a database on a PostgreSQL server
// (server, port, database, user; the password stays with the operating system's user in
// ~/.pgpass). "测试连接" tries the server and says whether it is one of this program's
// databases. Accepted, location() names the choice: a path or a server URI.
class TFrm_OpenDatabase : public QDialog
{
    Q_OBJECT
public:
    // current: the database in use, which fills in the side it belongs to.
    explicit TFrm_OpenDatabase(const QString &current, QWidget *parent = nullptr);
    ~TFrm_OpenDatabase() override;

    QString location() const;
    // The test button's work: true when the server database opens as this program's.
    bool testConnection();

private:
    void browse();
    void accept() override;
    void updateEnabled();

    std::unique_ptr<Ui::TFrm_OpenDatabase> ui;
};
