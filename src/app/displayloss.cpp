#include "app/displayloss.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <atomic>

namespace {

// The rescue may write files: a thread that hears of the loss waits this long
// for the main thread to finish it before the platform ends the process.
constexpr int kRescueWaitMs = 10000;

QtMessageHandler previousHandler = nullptr;
std::function<void()> rescueAction;
std::atomic<bool> rescueStarted{false};
std::atomic<bool> forgotten{false};
QSemaphore rescueFinished;

void rescueOnce()
{
    if (!rescueStarted.exchange(true) && rescueAction)
        rescueAction();
    rescueFinished.release(1000);
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    previousHandler(type, context, message);
    if (type != QtWarningMsg || forgotten || !DisplayLoss::isLastWord(message) || !rescueAction)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        rescueOnce();
        return;
    }
    // Heard on one of the platform's own threads: the model lives on the main thread.
    QMetaObject::invokeMethod(app, &rescueOnce, Qt::QueuedConnection);
    rescueFinished.tryAcquire(1, kRescueWaitMs);
}

} // namespace

namespace DisplayLoss {

bool isLastWord(const QString &message)
{
    return message.startsWith(QLatin1String("The Wayland connection broke"))
        || message.startsWith(QLatin1String("The Wayland connection experienced a fatal error"))
        || message.startsWith(QLatin1String("The X11 connection broke"));
}

void forget()
{
    forgotten = true;
}

void install(std::function<void()> rescue)
{
    rescueAction = std::move(rescue);
    previousHandler = qInstallMessageHandler(handleMessage);
}

} // namespace DisplayLoss
