#pragma once

#include "platform/keygrabber.h"

#include <QAbstractNativeEventFilter>
#include <QMap>

#include <vector>

struct xcb_connection_t;

// Key grabs on the X root window. Each combination is grabbed four times
// (plain, with Num Lock, with Caps Lock, with both) so the lock keys never
// make the hotkey miss.
class X11KeyGrabber : public KeyGrabber, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11KeyGrabber(QObject *parent = nullptr);
    ~X11KeyGrabber() override;

    bool grab(int id, std::uint32_t keysym, std::uint8_t modifiers) override;
    void ungrab(int id) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab
    {
        std::uint8_t keycode;
        std::uint16_t mask;
    };
    std::vector<std::uint16_t> lockVariants() const;

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    QMap<int, Grab> m_grabs;
};
