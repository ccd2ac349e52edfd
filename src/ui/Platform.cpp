#include "Platform.h"
#include "Messages.h"
#include "store/OutputFile.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace {

void warn(QWidget *parent, const QString &text)
{
    Messages::box(parent, text, QStringLiteral("警告"), Msg::Icon::Warning, Msg::Buttons::Ok);
}

DesktopPlatform &desktop()
{
    static DesktopPlatform instance;
    return instance;
}

PlatformService *installed = nullptr;

} // namespace

// --- the real desktop

const QStringList &DesktopPlatform::calculatorPrograms()
{
    static const QStringList programs{
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),    QStringLiteral("galculator"),
        QStringLiteral("mate-calc"),        QStringLiteral("qalculate-gtk"), QStringLiteral("speedcrunch"),
        QStringLiteral("xcalc")};
    return programs;
}

const QStringList &DesktopPlatform::textEditorPrograms()
{
    static const QStringList programs{
        QStringLiteral("gedit"), QStringLiteral("gnome-text-editor"), QStringLiteral("mousepad"),
        QStringLiteral("kate"),  QStringLiteral("kwrite"),           QStringLiteral("xed"),
        QStringLiteral("pluma"), QStringLiteral("featherpad"),       QStringLiteral("leafpad")};
    return programs;
}

QString DesktopPlatform::findProgram(const QStringList &candidates, const QStringList &paths)
{
    for (const QString &name : candidates) {
        const QString found = QStandardPaths::findExecutable(name, paths);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool DesktopPlatform::openUrl(QWidget *parent, const QUrl &url)
{
    if (QDesktopServices::openUrl(url))
        return true;
    warn(parent, QStringLiteral("无法打开 %1").arg(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                                                 : url.toString()));
    return false;
}

bool DesktopPlatform::tryOpenUrl(QWidget *, const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool DesktopPlatform::startProgram(QWidget *parent, const QString &program, const QStringList &arguments)
{
    if (QProcess::startDetached(program, arguments))
        return true;
    warn(parent, QStringLiteral("无法启动程序 %1").arg(program));
    return false;
}

bool DesktopPlatform::startCalculator(QWidget *parent)
{
    const QString program = findProgram(calculatorPrograms(), m_searchPaths);
    if (program.isEmpty()) {
        warn(parent, QStringLiteral("没有找到计算器程序,请安装以下程序之一: %1")
                         .arg(calculatorPrograms().join(QStringLiteral(", "))));
        return false;
    }
    return startProgram(parent, program, {});
}

bool DesktopPlatform::startTextEditor(QWidget *parent, const QString &file)
{
    QString program = findProgram(textEditorPrograms(), m_searchPaths);
    // With a file to open, the desktop's handler for it will do as well.
    if (program.isEmpty() && !file.isEmpty())
        program = findProgram({QStringLiteral("xdg-open")}, m_searchPaths);
    if (program.isEmpty()) {
        warn(parent, QStringLiteral("没有找到文本编辑器,请安装以下程序之一: %1")
                         .arg(textEditorPrograms().join(QStringLiteral(", "))));
        return false;
    }
    return startProgram(parent, program, file.isEmpty() ? QStringList() : QStringList{file});
}

void DesktopPlatform::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString DesktopPlatform::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

QString DesktopPlatform::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DesktopPlatform::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString DesktopPlatform::folderName(QWidget *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

// --- the recording stand-in

bool RecordingPlatform::openUrl(QWidget *, const QUrl &url)
{
    recorded.append({QStringLiteral("openUrl"), {url.toString()}});
    return succeed;
}

bool RecordingPlatform::startProgram(QWidget *, const QString &program, const QStringList &arguments)
{
    recorded.append({QStringLiteral("startProgram"), QStringList{program} + arguments});
    return succeed;
}

bool RecordingPlatform::startCalculator(QWidget *)
{
    recorded.append({QStringLiteral("calculator"), {}});
    return succeed;
}

bool RecordingPlatform::startTextEditor(QWidget *, const QString &file)
{
    recorded.append({QStringLiteral("textEditor"), file.isEmpty() ? QStringList() : QStringList{file}});
    return succeed;
}

QString RecordingPlatform::pick()
{
    return picks.isEmpty() ? QString() : picks.dequeue();
}

QString RecordingPlatform::openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter)
{
    recorded.append({QStringLiteral("openFile"), {caption, dir, filter}});
    return pick();
}

QString RecordingPlatform::saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter)
{
    recorded.append({QStringLiteral("saveFile"), {caption, dir, filter}});
    return pick();
}

QString RecordingPlatform::folderName(QWidget *, const QString &caption, const QString &dir)
{
    recorded.append({QStringLiteral("folder"), {caption, dir}});
    return pick();
}

QStringList RecordingPlatform::calls() const
{
    QStringList result;
    for (const Call &call : recorded)
        result.append((QStringList{call.what} + call.arguments).join(QLatin1Char(' ')));
    return result;
}

// --- access

PlatformService &Platform::service()
{
    return installed ? *installed : desktop();
}

void Platform::install(PlatformService *service)
{
    installed = service;
}

bool Platform::openDocument(QWidget *parent, const QString &path)
{
    return service().openUrl(parent, QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool Platform::tryOpenDocument(QWidget *parent, const QString &path)
{
    return service().tryOpenUrl(parent, QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool Platform::openWebAddress(QWidget *parent, const QString &address)
{
    return service().openUrl(parent, QUrl::fromUserInput(address.trimmed()));
}

bool Platform::mailTo(QWidget *parent, const QString &address)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address.trimmed());
    return service().openUrl(parent, url);
}

QString Platform::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    const QString path = service().saveFileName(parent, caption, dir, filter);
    if (path.isEmpty())
        return path;
    const OutputFile::Refusal refused = OutputFile::refusal(path, QString(), true);
    if (refused == OutputFile::Refusal::None)
        return path;
    Messages::box(parent, OutputFile::refusalText(refused, path) + QStringLiteral("请另选文件名。"), caption,
                  Msg::Icon::Warning);
    return {};
}
