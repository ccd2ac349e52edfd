#include "TFrm_Splash.h"
#include "store/ProgramDir.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

TFrm_Splash::TFrm_Splash(QWidget *parent)
    : QLabel(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Frm_Splash"));
    QPixmap picture;
    if (picture.load(ProgramDir::file(QStringLiteral("IMG/Splash.bmp")))) {
        setPixmap(picture); // a missing or broken picture leaves the window blank
        resize(picture.size());
    } else {
        resize(400, 250);
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TFrm_Splash::mousePressEvent(QMouseEvent *)
{
    close();
}
