#include "TFrm_Backup.h"
#include "ui_TFrm_Backup.h"
#include "store/Connection.h"
#include "DataToolCommands.h"
#include "data/TFrm_Data.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/SettingKeys.h"
#include "store/queries/Maintenance.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStorageInfo>
#include <filesystem>
#include <system_error>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TFrm_Backup::TFrm_Backup(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Backup>()), m_session(session), m_places(places())
{
    ui->setupUi(this);
    const QStringList captions = {QStringLiteral("个人备份文件夹"), QStringLiteral("程序数据库文件夹")};
    for (int i = 0; i < m_places.size(); ++i)
        ui->DriveComboBox1->addItem(i < captions.size() ? captions.at(i) + QStringLiteral("  ") + shown(m_places.at(i))
                                                        : shown(m_places.at(i)));

    IniSettings &ini = session->data()->settings();
    const int drive = Setting::BackupDrive.read(ini);
    const QString directory = Setting::BackupDirectory.read(ini);
    if (!directory.isEmpty())
        setFolder(directory);
    else
        setFolder(m_places.value(drive >= 0 && drive < m_places.size() ? drive : 0));
    if (drive >= 0 && drive < m_places.size() && QDir(m_places.at(drive)) == QDir(folder()))
        ui->DriveComboBox1->setCurrentIndex(drive);

    connect(ui->DriveComboBox1, &QComboBox::activated, this, &TFrm_Backup::placeChosen);
    connect(ui->DirectoryListBox1, &QLineEdit::editingFinished, this, [this] { setFolder(folder()); });
    connect(ui->Btn_Browse, &QPushButton::clicked, this, [this] {
        const QString chosen = Platform::folderName(this, QStringLiteral("选择备份文件夹"), folder());
        if (!chosen.isEmpty())
            setFolder(chosen);
    });
    connect(ui->Btn_Back, &QPushButton::clicked, this, [this] { backup(); });
    connect(ui->Btn_Store, &QPushButton::clicked, this, [this] { restore(); });
    connect(ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Backup::~TFrm_Backup() = default;

QStringList TFrm_Backup::places()
{
    QStringList list = {QDir::homePath() + QStringLiteral("/Backup"), ProgramDir::file(QStringLiteral("DataBase"))};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isReadOnly())
            continue;
        const QString root = volume.rootPath();
        // Only places a user keeps files on: the root, home and removable media.
        if ((root == QLatin1String("/") || root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/mnt/"))
             || root.startsWith(QLatin1String("/run/media/"))) && !list.contains(root))
            list.append(root);
    }
    return list;
}

QString TFrm_Backup::databaseFile()
{
    return ProgramDir::file(QStringLiteral("DataBase/Custom.mdb"));
}

QString TFrm_Backup::database() const
{
    const QString current = m_session->data()->databasePath();
    return Connection::isServerLocation(current) ? current : databaseFile();
}

QString TFrm_Backup::backupName(const QDate &day)
{
    return Maintenance::backupName(day);
}

QString TFrm_Backup::folder() const
{
    return QDir::fromNativeSeparators(ui->DirectoryListBox1->text().trimmed());
}

void TFrm_Backup::setFolder(const QString &path)
{
    ui->DirectoryListBox1->setText(shown(QDir::cleanPath(path)));
    int place = -1;
    for (int i = 0; i < m_places.size(); ++i)
        if (QDir::cleanPath(m_places.at(i)) == QDir::cleanPath(path))
            place = i;
    ui->DriveComboBox1->setCurrentIndex(place);
    refreshFiles();
}

void TFrm_Backup::placeChosen(int index)
{
    if (index >= 0 && index < m_places.size())
        setFolder(m_places.at(index));
}

void TFrm_Backup::refreshFiles()
{
    const QString selected = ui->FileListBox1->currentItem() ? ui->FileListBox1->currentItem()->text() : QString();
    ui->FileListBox1->clear();
    const QString path = folder();
    if (path.isEmpty())
        return;
    QDir dir(path);
    dir.setNameFilters({QStringLiteral("*.mdb")});
    // The name filter ignores case: Custom.MDB is listed too.
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name);
    ui->FileListBox1->addItems(dir.entryList());
    const auto found = ui->FileListBox1->findItems(selected, Qt::MatchExactly);
    if (!found.isEmpty())
        ui->FileListBox1->setCurrentItem(found.first());
}

QString TFrm_Backup::backup()
{
    const QString directory = folder();
    const QString failed = QStringLiteral("备份失败!");
    if (directory.isEmpty() || !QDir().mkpath(directory)) {
        Messages::box(this, failed + QStringLiteral("\n无法使用文件夹 \"%1\"。").arg(shown(directory)), QStringLiteral("警告"),
                      Msg::Icon::Information);
        return {};
    }
    QString target, problem;
    {
        QProgressDialog bar(QStringLiteral("正在备份数据库…"), QStringLiteral("取消"), 0, 100, this);
        bar.setObjectName(QStringLiteral("BackupProgress"));
        bar.setWindowTitle(QStringLiteral("数据备份"));
        bar.setWindowModality(Qt::WindowModal);
        bar.setMinimumDuration(500);
        WaitCursor wait;
        try {
            target = Maintenance::backupInto(database(), directory, [&bar](int done, int total) {
                bar.setMaximum(std::max(total, 1));
                bar.setValue(std::min(done, std::max(total, 1)));
                return !bar.wasCanceled();
            });
        } catch (const DbError &error) {
            problem = error.text();
        }
    }
    const bool stopped = target.isEmpty() && problem.isEmpty();
    refreshFiles();
    if (stopped)
        return {};
    if (!problem.isEmpty()) {
        Messages::box(this, failed + QLatin1Char('\n') + problem, QStringLiteral("警告"), Msg::Icon::Information);
        return {};
    }
    Messages::box(this, QStringLiteral("备份成功,文件备份在:") + shown(target), QStringLiteral("成功"), Msg::Icon::Information);
    const auto found = ui->FileListBox1->findItems(QFileInfo(target).fileName(), Qt::MatchExactly);
    if (!found.isEmpty())
        ui->FileListBox1->setCurrentItem(found.first());
    return target;
}

bool TFrm_Backup::restore()
{
    QListWidgetItem *item = ui->FileListBox1->currentItem();
    if (!item) {
        Messages::box(this, QStringLiteral("请选择一个恢复的数据库"), QStringLiteral("提醒"), Msg::Icon::Information);
        return false;
    }
    const QString selected = QDir(folder()).filePath(item->text());
    const QString database = this->database();
    const QString safety = Maintenance::safetyCopyPath(database);
    const QString failed = QStringLiteral("数据恢复失败!");
    const auto refuse = [this, &failed](const QString &why) {
        Messages::box(this, failed + QLatin1Char('\n') + why, QStringLiteral("警告"), Msg::Icon::Information);
        return false;
    };
    if (QFileInfo(selected).canonicalFilePath() == QFileInfo(database).canonicalFilePath())
        return refuse(Maintenance::restoreRefusal(selected, database));
    if (Messages::box(this,
                      QStringLiteral("恢复将用 \"%1\" 替换数据库 \"%2\"。\n替换前的数据库将另存为 \"%3\"。\n\n您确定要恢复吗?")
                          .arg(shown(selected), shown(database), shown(safety)),
                      QStringLiteral("询问"), Msg::Icon::Question, Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return false;

    QString problem;
    {
        WaitCursor wait;
        problem = Maintenance::restoreRefusal(selected, database);
    }
    if (!problem.isEmpty())
        return refuse(problem);

    // Nothing stays open on the old file: child windows close, the connection closes.
    closeChildWindows(m_session);
    TFrm_Data *module = m_session->data();
    const QString current = module->databasePath();
    const bool readOnly = module->isReadOnly();
    module->closeConnection();
    bool restored = false;
    {
        WaitCursor wait;
        try {
            Maintenance::replaceDatabase(selected, database, safety);
            restored = true;
        } catch (const DbError &error) {
            problem = error.text();
        }
    }
    try {
        module->switchDatabase(current, readOnly);
    } catch (const DbError &error) {
        Messages::errorReport(this, error.text());
    }
    refreshFiles();
    if (!restored)
        return refuse(problem);
    Messages::box(this, QStringLiteral("数据恢复成功!"), QStringLiteral("警告"), Msg::Icon::Information);
    return true;
}

void TFrm_Backup::done(int result)
{
    IniSettings &ini = m_session->data()->settings();
    Setting::BackupDrive.write(ini, ui->DriveComboBox1->currentIndex());
    Setting::BackupDirectory.write(ini, folder());
    QDialog::done(result);
}
