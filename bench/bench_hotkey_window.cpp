// The yardstick for the pop-up list's latency: a bare Qt program that grabs
// Ctrl+V and shows a minimal window on it (Esc hides it again).
#include "platform/x11/x11keygrabber.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

class Minimal : public QLabel
{
public:
    Minimal() : QLabel(QStringLiteral("minimal")) { setWindowTitle(QStringLiteral("Minimal window")); }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape)
            hide();
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    X11KeyGrabber grabber;
    Minimal window;
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    grabber.grab(0, 0x76, KeyGrabber::Ctrl);
    QObject::connect(&grabber, &KeyGrabber::activated, &window, [&] {
        grabber.ungrab(0);
        window.move(QCursor::pos());
        window.show();
        window.activateWindow();
    });
    auto regrab = [&] { if (window.isHidden()) grabber.grab(0, 0x76, KeyGrabber::Ctrl); };
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, regrab);
    timer.start(50);
    return app.exec();
}
