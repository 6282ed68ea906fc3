#pragma once

#include "platform/wayland/desktopportal.h"
#include "platform/wayland/keyoutput.h"

#include <QObject>

// Keys through the desktop portal's remote-desktop interface, where the
// compositor has no virtual keyboard for clients (KDE Plasma). The desktop
// asks the user once per session to allow it; until then, and after a no,
// no key can be sent. Keys go by keysym, so any character the desktop can
// map is typed whatever the layout.
class RemoteDesktopKeyboard : public QObject, public KeyOutput
{
    Q_OBJECT
public:
    static constexpr const char *kInterface = "org.freedesktop.portal.RemoteDesktop";

    explicit RemoteDesktopKeyboard(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                   QObject *parent = nullptr);

    static bool offeredOn(const QDBusConnection &bus);
    // Asks the desktop for a keyboard session; `ready` or `refused` follows.
    void start();

    bool available() const override { return m_started; }
    void press(Named key) override;
    void pressCombination(std::uint32_t keysym, std::uint8_t modifiers) override;
    bool type(char32_t character) override;

signals:
    void ready();
    void refused(const QString &why);

private:
    void selectDevices();
    void startSession();
    void fail(const QString &what, uint response, const QVariantMap &results);
    bool send(std::uint32_t keysym, bool pressed);
    void tap(std::uint32_t keysym);

    DesktopPortal m_portal;
    QString m_session;
    bool m_starting = false;
    bool m_started = false;
};
