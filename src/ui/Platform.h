#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

// The desktop services the windows use: opening a document, web address or mailto:
// address with the desktop's handler, starting the desktop's calculator or text
// editor, the clipboard and the file and folder pickers. Windows go through Platform,
// so that tests can put a recording stand-in in place of the desktop.
class PlatformService
{
public:
    virtual ~PlatformService() = default;
    // Opens a URL (file:, http:, mailto:) with the desktop's handler.
    virtual bool openUrl(QWidget *parent, const QUrl &url) = 0;
    // The same without a word when the desktop has no handler for it: for a document
    // that is only shown as a convenience after the work is done, where the caller says
    // what happened. The stand-ins record it as openUrl.
    virtual bool tryOpenUrl(QWidget *parent, const QUrl &url) { return openUrl(parent, url); }
    // Starts a program detached from this one.
    virtual bool startProgram(QWidget *parent, const QString &program, const QStringList &arguments) = 0;
    // Starts the desktop's calculator / text editor (optionally on a file); when none is
    // installed the operator is told so and false comes back.
    virtual bool startCalculator(QWidget *parent) = 0;
    virtual bool startTextEditor(QWidget *parent, const QString &file) = 0;
    virtual void setClipboardText(const QString &text) = 0;
    virtual QString clipboardText() = 0;
    // Pickers: an empty result means the operator cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString folderName(QWidget *parent, const QString &caption, const QString &dir) = 0;
};

// The real desktop.
class DesktopPlatform : public PlatformService
{
public:
    // Programs looked for, in this order, on the search path.
    static const QStringList &calculatorPrograms();
    static const QStringList &textEditorPrograms();
    // The full path of the first candidate found in paths (the system's PATH when
    // paths is empty), or an empty text.
    static QString findProgram(const QStringList &candidates, const QStringList &paths = {});

    // searchPaths: where programs are looked for; empty means the system's PATH.
    explicit DesktopPlatform(const QStringList &searchPaths = {}) : m_searchPaths(searchPaths) {}

    bool openUrl(QWidget *parent, const QUrl &url) override;
    bool tryOpenUrl(QWidget *parent, const QUrl &url) override;
    bool startProgram(QWidget *parent, const QString &program, const QStringList &arguments) override;
    bool startCalculator(QWidget *parent) override;
    bool startTextEditor(QWidget *parent, const QString &file) override;
    void setClipboardText(const QString &text) override;
    QString clipboardText() override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString folderName(QWidget *parent, const QString &caption, const QString &dir) override;

private:
    QStringList m_searchPaths;
};

// Records every call; pickers answer from a queue (empty: cancelled), and the clipboard
// is a plain text field.
class RecordingPlatform : public PlatformService
{
public:
    struct Call
    {
        QString what; // "openUrl", "startProgram", "calculator", "textEditor", "openFile", "saveFile", "folder"
        QStringList arguments;
    };

    bool openUrl(QWidget *parent, const QUrl &url) override;
    bool startProgram(QWidget *parent, const QString &program, const QStringList &arguments) override;
    bool startCalculator(QWidget *parent) override;
    bool startTextEditor(QWidget *parent, const QString &file) override;
    void setClipboardText(const QString &text) override { clipboard = text; }
    QString clipboardText() override { return clipboard; }
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString folderName(QWidget *parent, const QString &caption, const QString &dir) override;

    void answer(const QString &pickedPath) { picks.enqueue(pickedPath); }
    QStringList calls() const; // "what arg1 arg2 ..." per call

    QList<Call> recorded;
    QQueue<QString> picks;
    QString clipboard;
    bool succeed = true; // what openUrl / startProgram / calculator / editor answer

private:
    QString pick();
};

namespace Platform {
PlatformService &service();
// Installs a service (not owned); nullptr restores the real desktop.
void install(PlatformService *service);

inline bool openUrl(QWidget *parent, const QUrl &url) { return service().openUrl(parent, url); }
// A local document by its path.
bool openDocument(QWidget *parent, const QString &path);
// A local document, silently when the desktop has nothing to open it with.
bool tryOpenDocument(QWidget *parent, const QString &path);
// A web address as the operator typed it ("www.example.com" opens as http).
bool openWebAddress(QWidget *parent, const QString &address);
// A new mail to the address.
bool mailTo(QWidget *parent, const QString &address);
inline bool startProgram(QWidget *parent, const QString &program, const QStringList &arguments = {})
{
    return service().startProgram(parent, program, arguments);
}
inline bool startCalculator(QWidget *parent) { return service().startCalculator(parent); }
inline bool startTextEditor(QWidget *parent, const QString &file = {}) { return service().startTextEditor(parent, file); }
inline void setClipboardText(const QString &text) { service().setClipboardText(text); }
inline QString clipboardText() { return service().clipboardText(); }
inline QString openFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {})
{
    return service().openFileName(parent, caption, dir, filter);
}
// The file the user chose to save to, or empty. A database of this program (the one in
// use among them) is refused with a message, whatever the dialog's own overwrite question
// was answered: the save would turn it into a picture or a PDF.
QString saveFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
inline QString folderName(QWidget *parent, const QString &caption, const QString &dir = {})
{
    return service().folderName(parent, caption, dir);
}
} // namespace Platform
