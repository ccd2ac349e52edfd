#include "ModalDialogs.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {
QString handleModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act,
                    const std::function<QString(QWidget *)> &describe)
{
    QString opened;
    QWidget *before = QApplication::activeModalWidget();
    QTimer::singleShot(0, qApp, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == before)
            return;
        opened = describe(dialog);
        if (act)
            act(dialog);
        if (dialog->isVisible())
            dialog->close();
    });
    start();
    QCoreApplication::processEvents(); // runs the check when nothing was opened
    return opened;
}
} // namespace

QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return handleModal(start, act, [](QWidget *dialog) { return QString::fromLatin1(dialog->metaObject()->className()); });
}

QString captionWhenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return handleModal(start, act, [](QWidget *dialog) { return dialog->windowTitle(); });
}
