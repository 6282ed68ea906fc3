#include "platform/qt/desktopbasics.h"

#include "platform/soundfile.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <algorithm>
#include <limits>
#include <memory>

bool DesktopBasics::trayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

Desktop::TrayKind DesktopBasics::trayKind() const
{
    if (m_trayKind)
        return *m_trayKind;
    // Qt's stock platform themes serve the icon as a StatusNotifierItem when
    // the watcher on the session bus says a host is registered, and embed it
    // otherwise. The same question, but with a short timeout: a bus that does
    // not answer must not hold up the start.
    m_trayKind = TrayKind::XEmbed;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return *m_trayKind;
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage question = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    question.setArguments({watcher, QStringLiteral("IsStatusNotifierHostRegistered")});
    const QDBusMessage reply = bus.call(question, QDBus::Block, kTrayQuestionTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool())
        m_trayKind = TrayKind::StatusNotifier;
    return *m_trayKind;
}

bool DesktopBasics::openDocument(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void DesktopBasics::openDocumentOr(const QUrl &url, std::function<void()> notOpened)
{
    // The desktop's opener is started and watched rather than started and
    // forgotten: it reports by its exit code that nothing could open the
    // document (no browser, say), which QDesktopServices never learns. In a
    // sandbox, or without the opener, the desktop portal or Qt decides.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool sandboxed = qEnvironmentVariableIsSet("FLATPAK_ID") || qEnvironmentVariableIsSet("SNAP");
    if (opener.isEmpty() || sandboxed) {
        Desktop::openDocumentOr(url, std::move(notOpened));
        return;
    }
    auto *process = new QProcess(qApp);
    process->setProgram(opener);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto reported = std::make_shared<bool>(false);
    // An opener still running at exit (one that waits for the browser it
    // started) is stopped then; that is no failure to report.
    const auto report = [reported, notOpened = std::move(notOpened)] {
        if (*reported || QCoreApplication::closingDown())
            return;
        *reported = true;
        if (notOpened)
            notOpened();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             report();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        report();
        process->deleteLater();
    });
    process->start();
}

void DesktopBasics::beep()
{
    QApplication::beep();
}

void DesktopBasics::playSound(const QString &file)
{
    // The sound system loads what it is given whole: only a bounded WAV file
    // gets that far; anything else stays silent, as a sound that fails does.
    if (!SoundFile::playable(file))
        return;
    if (!m_sound)
        m_sound = new QSoundEffect(qApp);
    m_sound->stop();
    m_sound->setSource(QUrl::fromLocalFile(file));
    m_sound->play();
}

QRect DesktopBasics::screenGeometry(QPoint at) const
{
    const QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen) {
        // A point outside every monitor belongs to the nearest one.
        qint64 best = std::numeric_limits<qint64>::max();
        for (const QScreen *candidate : QGuiApplication::screens()) {
            const QRect g = candidate->geometry();
            const qint64 dx = std::max({g.left() - at.x(), 0, at.x() - g.right()});
            const qint64 dy = std::max({g.top() - at.y(), 0, at.y() - g.bottom()});
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                screen = candidate;
            }
        }
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
