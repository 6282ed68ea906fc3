#include "platform/wayland/remotedesktopkeyboard.h"

#include "platform/keygrabber.h"

#include <QDBusMessage>
#include <QDBusObjectPath>

#include <xkbcommon/xkbcommon.h>

namespace {

constexpr uint kKeyboardDevice = 1;
constexpr int kKeyTimeoutMs = 2000;

} // namespace

RemoteDesktopKeyboard::RemoteDesktopKeyboard(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_portal(bus)
{
}

bool RemoteDesktopKeyboard::offeredOn(const QDBusConnection &bus)
{
    return DesktopPortal::offers(bus, QString::fromLatin1(kInterface));
}

void RemoteDesktopKeyboard::fail(const QString &what, uint response, const QVariantMap &results)
{
    m_starting = false;
    m_started = false;
    QString why = response == DesktopPortal::Cancelled
                      ? QStringLiteral("Sending keys to other windows was not allowed on this desktop (%1).").arg(what)
                      : QStringLiteral("The desktop's remote-control service would not let keys be sent (%1).")
                            .arg(what);
    const QString error = results.value(QStringLiteral("error")).toString();
    if (!error.isEmpty())
        why += QLatin1Char(' ') + error;
    emit refused(why);
}

void RemoteDesktopKeyboard::start()
{
    if (m_starting || m_started)
        return;
    m_starting = true;
    const QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("scrapkeeper")}};
    m_portal.request(QString::fromLatin1(kInterface), QStringLiteral("CreateSession"), {}, options,
                     [this](uint response, const QVariantMap &results) {
                         m_session = DesktopPortal::handleText(results.value(QStringLiteral("session_handle")));
                         if (response != DesktopPortal::Success || m_session.isEmpty())
                             return fail(QStringLiteral("no session"), response, results);
                         selectDevices();
                     });
}

void RemoteDesktopKeyboard::selectDevices()
{
    const QVariantMap options{{QStringLiteral("types"), kKeyboardDevice}};
    m_portal.request(QString::fromLatin1(kInterface), QStringLiteral("SelectDevices"),
                     {QVariant::fromValue(QDBusObjectPath(m_session))}, options,
                     [this](uint response, const QVariantMap &results) {
                         if (response != DesktopPortal::Success)
                             return fail(QStringLiteral("no keyboard"), response, results);
                         startSession();
                     });
}

void RemoteDesktopKeyboard::startSession()
{
    // The desktop asks the user here.
    m_portal.request(QString::fromLatin1(kInterface), QStringLiteral("Start"),
                     {QVariant::fromValue(QDBusObjectPath(m_session)), QString()}, {},
                     [this](uint response, const QVariantMap &results) {
                         if (response != DesktopPortal::Success)
                             return fail(QStringLiteral("not started"), response, results);
                         if (!(results.value(QStringLiteral("devices")).toUInt() & kKeyboardDevice))
                             return fail(QStringLiteral("no keyboard granted"), DesktopPortal::Cancelled, results);
                         m_starting = false;
                         m_started = true;
                         emit ready();
                     });
}

bool RemoteDesktopKeyboard::send(std::uint32_t keysym, bool pressed)
{
    if (!m_started)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(DesktopPortal::kService),
                                                       QString::fromLatin1(DesktopPortal::kPath),
                                                       QString::fromLatin1(kInterface),
                                                       QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariantMap() << int(keysym) << uint(pressed ? 1 : 0);
    // Waited for, so keys keep their order and the look at the focus after
    // a key sees the world it landed in.
    const QDBusMessage answer = m_portal.bus().call(call, QDBus::Block, kKeyTimeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage)
        return true;
    // The session ended (the user stopped it in the desktop's indicator).
    fail(QStringLiteral("the session ended"), DesktopPortal::Failed, {{QStringLiteral("error"), answer.errorMessage()}});
    return false;
}

void RemoteDesktopKeyboard::tap(std::uint32_t keysym)
{
    if (send(keysym, true))
        send(keysym, false);
}

void RemoteDesktopKeyboard::press(Named key)
{
    switch (key) {
    case Named::Tab: tap(XKB_KEY_Tab); break;
    case Named::Return: tap(XKB_KEY_Return); break;
    case Named::Space: tap(XKB_KEY_space); break;
    }
}

void RemoteDesktopKeyboard::pressCombination(std::uint32_t keysym, std::uint8_t modifiers)
{
    QList<std::uint32_t> held;
    if (modifiers & KeyGrabber::Ctrl)
        held << XKB_KEY_Control_L;
    if (modifiers & KeyGrabber::Shift)
        held << XKB_KEY_Shift_L;
    if (modifiers & KeyGrabber::Alt)
        held << XKB_KEY_Alt_L;
    if (modifiers & KeyGrabber::Win)
        held << XKB_KEY_Super_L;
    qsizetype down = 0;
    while (down < held.size() && send(held.at(down), true))
        ++down;
    if (down == held.size())
        tap(keysym);
    // What went down comes up, also when the session ended on the way.
    while (down > 0)
        send(held.at(--down), false);
}

bool RemoteDesktopKeyboard::type(char32_t character)
{
    if (!isTypeable(character))
        return false;
    const std::uint32_t keysym = keysymOf(character);
    if (!send(keysym, true))
        return false;
    return send(keysym, false);
}
