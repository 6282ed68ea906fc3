#include "platform/wayland/waylanddesktop.h"

#include "platform/keygrabber.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cmath>

#include <unistd.h>

namespace {

// How long after a show the compositor has the window in its tree.
constexpr int kShownSettleMs = 100;

} // namespace

RequestedPlaces::RequestedPlaces(std::function<void(const QWidget &)> shown)
    : m_shown(std::move(shown))
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
}

QRect RequestedPlaces::of(const QWidget &window) const
{
    return m_places.value(&window, window.geometry());
}

bool RequestedPlaces::eventFilter(QObject *watched, QEvent *event)
{
    // The show event comes before the platform window is made and mapped.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        const auto *widget = static_cast<const QWidget *>(watched);
        if (widget->isWindow()) {
            if (!m_places.contains(widget))
                connect(widget, &QObject::destroyed, this, [this, widget] { m_places.remove(widget); });
            m_places.insert(widget, widget->geometry());
            if (widget->windowFlags().testFlag(Qt::FramelessWindowHint) && m_shown) {
                QTimer::singleShot(kShownSettleMs, this, [this, widget = QPointer<const QWidget>(widget)] {
                    if (widget && widget->isVisible())
                        m_shown(*widget);
                });
            }
        }
    }
    return false;
}

WaylandDesktop::WaylandDesktop()
{
    m_atspi.available(QString());
    if (!m_keyboard.available() && RemoteDesktopKeyboard::offeredOn(QDBusConnection::sessionBus())) {
        m_portalKeyboard = std::make_unique<RemoteDesktopKeyboard>();
        m_portalKeyboard->start();
    }
}

KeyOutput &WaylandDesktop::keys()
{
    if (m_portalKeyboard)
        return *m_portalKeyboard;
    return m_keyboard;
}

QStringList WaylandDesktop::shortcomings() const
{
    QStringList missing;
    if (!m_keyboard.available() && !m_portalKeyboard)
        missing << QStringLiteral("This desktop lets no program send keys to other windows, so chosen items are only "
                                  "put on the clipboard: paste them yourself with Ctrl+V.");
    // A compositor binding by symbol on Ctrl+V runs instead of our paste.
    if (m_keyboard.available() && m_ipc.available()) {
        for (const QString &binding : SwayIpc::bindingsCatchingPasteKeys(m_ipc.config()))
            missing << QStringLiteral("The desktop's key binding \"%1\" also catches the Ctrl+V the program pastes "
                                      "with, so nothing would be pasted. Bind the key by its place instead: write "
                                      "--to-code after bindsym.")
                           .arg(binding);
    }
    return missing;
}

QString WaylandDesktop::hotkeyAdvice() const
{
    if (m_hotkeysThroughPortal)
        return QStringLiteral(
            "The key chosen above is bound through your desktop's global shortcuts: the desktop may ask you to "
            "confirm it, and its shortcut settings can change it. A key bound in the desktop to the command "
            "\"scrapkeeper popup\" works too.");
    return QStringLiteral(
        "On Wayland the desktop keeps the keys to itself: bind the key chosen above in your desktop's keyboard "
        "settings as below, by the key's place rather than its symbol, or the binding also catches the Ctrl+V "
        "the program pastes with. While the list is off, the key then goes on to the window in front.\n"
        "sway: bindsym --to-code Ctrl+v exec scrapkeeper popup --hotkey\n"
        "Hyprland: bind = CTRL, code:55, exec, scrapkeeper popup --hotkey\n"
        "KDE Plasma, GNOME: a custom shortcut that runs scrapkeeper popup, on a key other than Ctrl+V.");
}

ForeignFocus WaylandDesktop::foreignFocus()
{
    ForeignFocus focus;
    if (!m_ipc.available()) {
        // Only whether one of our windows has the keyboard is known.
        focus.ownWindow = QGuiApplication::focusWindow() != nullptr;
        focus.window = focus.ownWindow ? ownActiveWindow() : kSomeForeignWindow;
        return focus;
    }
    const std::optional<SwayIpc::Window> window = m_ipc.focusedWindow();
    if (!window)
        return focus;
    focus.window = quint64(window->id);
    m_lastWindow = window->id;
    m_lastAppId = window->appId;
    focus.ownWindow = window->pid == quint32(getpid());
    if (focus.ownWindow) {
        focus.window = ownActiveWindow();
        return focus;
    }
    // Wayland clients know no global coordinates: the caret an application
    // reports is inside its window, which the compositor places.
    AtspiFocus::adopt(focus, m_atspi.focusedIn(window->pid, [] { return false; }), window->rect.topLeft());
    const LayoutMapping mapping = layoutMapping();
    focus.windowOrigin = mapping.toQt(window->rect.topLeft());
    focus.caret = mapping.toQt(focus.caret);
    return focus;
}

LayoutMapping WaylandDesktop::layoutMapping() const
{
    QList<LayoutMapping::Output> outputs;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const SwayIpc::Output &output : m_ipc.outputs()) {
        const auto screen = std::find_if(screens.begin(), screens.end(), [&output](const QScreen *candidate) {
            return candidate->name() == output.name;
        });
        // Qt draws at the whole scale the compositor announces for the output
        // (a fractional one rounded up) times a factor of its own; only that
        // factor stands between the compositor's coordinates and Qt's.
        if (screen != screens.end() && output.scale > 0)
            outputs.append({output.name, output.rect, (*screen)->devicePixelRatio() / std::ceil(output.scale)});
    }
    return LayoutMapping(outputs);
}

quint64 WaylandDesktop::ownActiveWindow() const
{
    const QWindow *window = QGuiApplication::focusWindow();
    return window ? quint64(window->winId()) : 0;
}

void WaylandDesktop::bringToFront(quint64 window)
{
    if (window == 0)
        return;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == window) {
            placeOwnWindow(*widget, widget->size(), true);
            widget->raise();
            widget->activateWindow();
            return;
        }
    }
    if (window != kSomeForeignWindow)
        m_ipc.run(QStringLiteral("[con_id=%1] focus").arg(window));
}

void WaylandDesktop::placeOwnWindow(const QWidget &widget, QSize qtSize, bool focus)
{
    // A Wayland client cannot place its own windows; sway can be asked to.
    // The window stands where the program moved it once the compositor shows it.
    if (!m_ipc.available() || !widget.isVisible())
        return;
    // The waits below let events through, which may close the window.
    const QPointer<const QWidget> alive(&widget);
    const QString title = widget.windowTitle();
    // Qt shows a tooltip as a pop-up of the window with the keyboard, which
    // the compositor places beside it and never lists: it is looked for
    // once, for when Qt had no window to hang it on, not waited for.
    const int waitMs = widget.windowType() == Qt::ToolTip ? 0 : kShowWaitMs;
    std::optional<SwayIpc::Window> shown;
    QElapsedTimer clock;
    clock.start();
    while (!(shown = m_ipc.windowOf(quint32(getpid()), title)) && clock.elapsed() < waitMs)
        delay(10);
    if (!shown || !alive)
        return;
    const QRect asked = m_places.of(widget);
    const LayoutMapping mapping = layoutMapping();
    const QPoint at = mapping.toLayout(asked.topLeft());
    const QSize size = mapping.sizeToLayout(qtSize, asked.topLeft());
    const qint64 id = shown->id;
    // Floated, a window keeps the size it had tiled unless told the one it asked for.
    m_ipc.run(QStringLiteral("[con_id=%1] floating enable, border none, resize set width %2 px height %3 px, "
                             "move absolute position %4 %5%6")
                  .arg(id)
                  .arg(size.width())
                  .arg(size.height())
                  .arg(at.x())
                  .arg(at.y())
                  .arg(focus ? QStringLiteral(", focus") : QString()));
    // A window floated while its tiled size is still being settled gets that
    // size back once the settling ends (sway 1.7): the size is asked again
    // until it holds.
    for (int attempt = 0; attempt < kResizeAttempts; ++attempt) {
        delay(kResizeSettleMs);
        if (!alive)
            return;
        shown = m_ipc.windowOf(quint32(getpid()), title);
        if (!shown || shown->id != id || shown->rect.size() == size)
            return;
        m_ipc.run(QStringLiteral("[con_id=%1] resize set width %2 px height %3 px, move absolute position %4 %5")
                      .arg(id)
                      .arg(size.width())
                      .arg(size.height())
                      .arg(at.x())
                      .arg(at.y()));
    }
}

void WaylandDesktop::floatOwnWindow(const QWidget &widget)
{
    // A tiling compositor would give the preview half the screen beside the
    // target; it floats where the program put it, and the keyboard stays put.
    // Just shown, the window may already have been handed the tiled size:
    // it gets the size it asked for when it was shown.
    placeOwnWindow(widget, m_places.of(widget).size(), false);
}

QStringList WaylandDesktop::windowClass(quint64 window)
{
    if (qint64(window) == m_lastWindow && !m_lastAppId.isEmpty())
        return {m_lastAppId, m_lastAppId};
    return {};
}

QPoint WaylandDesktop::pointerPosition() const
{
    // Wayland tells a client where the pointer is only over its own windows.
    // Elsewhere the middle of the output that holds the window in front is
    // the honest answer: a list there is seen where the user is working.
    if (QGuiApplication::focusWindow())
        return QCursor::pos();
    const std::optional<SwayIpc::Window> window = m_ipc.available() ? m_ipc.focusedWindow() : std::nullopt;
    const QScreen *screen = window ? QGuiApplication::screenAt(layoutMapping().toQt(window->rect.center())) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().center() : QCursor::pos();
}

void WaylandDesktop::delay(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::usleep(500);
    } while (clock.elapsed() < milliseconds);
}

quint64 WaylandDesktop::activeWindow()
{
    if (QGuiApplication::focusWindow())
        return ownActiveWindow();
    if (!m_ipc.available())
        return kSomeForeignWindow;
    const std::optional<SwayIpc::Window> window = m_ipc.focusedWindow();
    if (!window)
        return 0;
    return window->pid == quint32(getpid()) ? ownActiveWindow() : quint64(window->id);
}

bool WaylandDesktop::beginDelivery(quint64 window)
{
    // No compositor lets a client hold it still between a look and a key:
    // the look is as close to the key as a client can make it.
    // Nothing is sent while no key can be: not reported as pasted.
    if (window == 0 || !keys().available() || activeWindow() != window)
        return false;
    keys().takeSeat();
    return true;
}

void WaylandDesktop::pressKey(Key key)
{
    switch (key) {
    case Key::Tab: keys().press(KeyOutput::Named::Tab); break;
    case Key::Enter: keys().press(KeyOutput::Named::Return); break;
    case Key::Space: keys().press(KeyOutput::Named::Space); break;
    case Key::CapsLock: break;  // never on: the virtual keyboard has no locks
    }
}

bool WaylandDesktop::passOnKey(std::uint32_t keysym, std::uint8_t modifiers)
{
    // A press passed on within a moment of the last one is our own coming
    // back: a binding by symbol catches our keys too, and would loop.
    if (!keys().available() || (m_lastPassedOn.isValid() && m_lastPassedOn.elapsed() < kPassOnQuietMs))
        return false;
    keys().takeSeat();
    keys().pressCombination(keysym, modifiers);
    m_lastPassedOn.start();
    return true;
}

void WaylandDesktop::sendCtrlV()
{
    keys().pressCombination(XKB_KEY_v, KeyGrabber::Ctrl);
}

void WaylandDesktop::sendCtrlShiftV()
{
    keys().pressCombination(XKB_KEY_v, KeyGrabber::Ctrl | KeyGrabber::Shift);
}

bool WaylandDesktop::typeCharacter(char32_t character)
{
    return keys().type(character);
}

void WaylandDesktop::prepareTyping(const QString &text)
{
    keys().prepare(text);
}

QPoint WaylandDesktop::caretOrigin(const ForeignFocus &target) const
{
    return layoutMapping().toLayout(target.windowOrigin);
}

ForeignFocus WaylandDesktop::nextControl(const ForeignFocus &target)
{
    const bool throughBus = m_atspi.accessible(target.accessible) != nullptr;
    ForeignFocus next = AccessibleDesktop::nextControl(target);
    // The bus's caret was counted from the window's corner in layout coordinates.
    if (throughBus)
        next.caret = layoutMapping().toQt(next.caret);
    return next;
}
