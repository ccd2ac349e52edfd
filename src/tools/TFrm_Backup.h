#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class Session;
namespace Ui { class TFrm_Backup; }

// Backup and restore of the database file DataBase/Custom.mdb beside the program
// ("数据库备份"). The place list (DriveComboBox1) offers the usual backup places (the
// Backup folder in the home folder, the program's DataBase folder and the mounted
// volumes); the folder (DirectoryListBox1) can also be typed or picked; the list shows
// the folder's *.mdb files.
//
// Backup copies the live database through the engine's online backup into a temporary
// file in the folder and renames it to Custom_bak<yyyy-MM-dd>.mdb, so the copy is
// consistent while others write and a failed backup never leaves a half file under that
// name. Restore asks first, refuses a file that is not a sound database of this program
// and a database that another program is using, keeps the replaced file as a dated
// safety copy beside it, replaces the file whole and reconnects (child windows closed).
// [config] Drive / DirectoryList keep the place index (-1: a folder of one's own) and the
// folder.
class TFrm_Backup : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Backup(Session *session, QWidget *parent = nullptr);
    ~TFrm_Backup() override;

    // The places of the place list, in its order.
    static QStringList places();
    // The database file that backup reads and restore writes.
    static QString databaseFile();
    // What backup and restore work on: the server database when the program is connected
    // to one (copied to and from a file), otherwise the local file.
    QString database() const;
    // The name a backup made on that day gets.
    static QString backupName(const QDate &day);

    QString folder() const;
    void setFolder(const QString &folder);
    // The buttons' work: the path written / true when restored.
    QString backup();
    bool restore();

public slots:
    void done(int result) override;

private:
    void refreshFiles();
    void placeChosen(int index);

    std::unique_ptr<Ui::TFrm_Backup> ui;
    Session *m_session;
    QStringList m_places;
};
