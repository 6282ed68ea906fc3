#include "atspifocus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>

#include <atspi/atspi.h>

#include <vector>

namespace {

constexpr int kProbeTimeoutMs = 500;
constexpr int kCallTimeoutMs = 500;
constexpr int kMaxNodes = 4000;
constexpr qint64 kMaxSearchMs = 400;

bool answers(const QString &address)
{
    const QString name = QStringLiteral("scrapkeeper-a11y-probe");
    bool ok = false;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, name);
        if (bus.isConnected()) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
            ok = bus.call(call, QDBus::Block, kProbeTimeoutMs).type() == QDBusMessage::ReplyMessage;
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return ok;
}

// The bus the library will use, in its own order of preference.
QString busAddress(const QString &rootProperty)
{
    const QString fromEnvironment = qEnvironmentVariable("AT_SPI_BUS_ADDRESS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (!rootProperty.isEmpty())
        return rootProperty;
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        return {};
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    const QDBusReply<QString> reply = session.call(call, QDBus::Block, kProbeTimeoutMs);
    return reply.isValid() ? reply.value() : QString();
}

bool hasState(AtspiAccessible *object, AtspiStateType state)
{
    AtspiStateSet *states = atspi_accessible_get_state_set(object);
    const bool result = states && atspi_state_set_contains(states, state);
    if (states)
        g_object_unref(states);
    return result;
}

// Depth-first through showing objects, within a budget of nodes and time.
AtspiAccessible *findFocused(AtspiAccessible *root)
{
    QElapsedTimer clock;
    clock.start();
    std::vector<AtspiAccessible *> stack{static_cast<AtspiAccessible *>(g_object_ref(root))};
    AtspiAccessible *found = nullptr;
    int visited = 0;
    while (!stack.empty()) {
        AtspiAccessible *node = stack.back();
        stack.pop_back();
        if (!found && ++visited <= kMaxNodes && clock.elapsed() < kMaxSearchMs) {
            if (node != root && hasState(node, ATSPI_STATE_FOCUSED)) {
                found = static_cast<AtspiAccessible *>(g_object_ref(node));
            } else if (node == root || hasState(node, ATSPI_STATE_SHOWING)) {
                const gint count = atspi_accessible_get_child_count(node, nullptr);
                for (gint i = std::min(count, 512) - 1; i >= 0; --i) {
                    if (AtspiAccessible *child = atspi_accessible_get_child_at_index(node, i, nullptr))
                        stack.push_back(child);
                }
            }
        }
        g_object_unref(node);
    }
    return found;
}

// The control that most recently took the focus, as the applications
// announce it. Our own key grab makes the application drop its focused
// state for the moment of the hotkey, so the announcement is what counts.
AtspiAccessible *g_lastFocused = nullptr;

void onFocusEvent(AtspiEvent *event, void *)
{
    if (event->detail1 == 1 && event->source) {
        if (g_lastFocused)
            g_object_unref(g_lastFocused);
        g_lastFocused = static_cast<AtspiAccessible *>(g_object_ref(event->source));
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

} // namespace

AtspiFocus::~AtspiFocus()
{
    forget();
}

void AtspiFocus::forget()
{
    if (m_focused)
        g_object_unref(static_cast<AtspiAccessible *>(m_focused));
    m_focused = nullptr;
}

bool AtspiFocus::available(const QString &rootProperty)
{
    if (m_state == State::Unknown) {
        const QString address = busAddress(rootProperty);
        if (!address.isEmpty() && answers(address) && atspi_init() <= 1) {
            atspi_set_timeout(kCallTimeoutMs, 2 * kCallTimeoutMs);
            AtspiEventListener *listener = atspi_event_listener_new(onFocusEvent, nullptr, nullptr);
            atspi_event_listener_register(listener, "object:state-changed:focused", nullptr);
            m_state = State::Ready;
        } else {
            m_state = State::Unavailable;
        }
    }
    return m_state == State::Ready;
}

AtspiFocus::Result AtspiFocus::focusedIn(quint32 pid)
{
    Result result;
    if (m_state != State::Ready || pid == 0)
        return result;
    forget();
    AtspiAccessible *desktop = atspi_get_desktop(0);
    if (!desktop)
        return result;
    AtspiAccessible *focused = nullptr;
    const gint apps = atspi_accessible_get_child_count(desktop, nullptr);
    for (gint i = 0; i < apps && !focused; ++i) {
        AtspiAccessible *app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app)
            continue;
        if (atspi_accessible_get_process_id(app, nullptr) == pid)
            focused = findFocused(app);
        g_object_unref(app);
    }
    g_object_unref(desktop);
    if (!focused && g_lastFocused && atspi_accessible_get_process_id(g_lastFocused, nullptr) == pid)
        focused = static_cast<AtspiAccessible *>(g_object_ref(g_lastFocused));
    if (!focused)
        return result;

    m_focused = focused;
    m_handle = quintptr(focused);
    result.found = true;
    result.handle = m_handle;
    if (AtspiAccessible *parent = atspi_accessible_get_parent(focused, nullptr)) {
        result.inCombo = atspi_accessible_get_role(parent, nullptr) == ATSPI_ROLE_COMBO_BOX;
        g_object_unref(parent);
    }
    if (AtspiText *text = atspi_accessible_get_text_iface(focused)) {
        const gint offset = atspi_text_get_caret_offset(text, nullptr);
        if (offset >= 0) {
            AtspiRect *rect = atspi_text_get_character_extents(text, offset, ATSPI_COORD_TYPE_SCREEN, nullptr);
            // At the end of the text there is no character: take the one before it.
            if ((!rect || rect->height <= 0) && offset > 0) {
                g_free(rect);
                rect = atspi_text_get_character_extents(text, offset - 1, ATSPI_COORD_TYPE_SCREEN, nullptr);
                if (rect)
                    rect->x += rect->width;
            }
            if (rect && rect->height > 0) {
                result.caretKnown = true;
                result.caret = QPoint(rect->x, rect->y);
            }
            g_free(rect);
        }
        if (result.inCombo) {
            result.selStart = result.selEnd = offset;
            if (atspi_text_get_n_selections(text, nullptr) > 0) {
                if (AtspiRange *range = atspi_text_get_selection(text, 0, nullptr)) {
                    result.selStart = range->start_offset;
                    result.selEnd = range->end_offset;
                    g_free(range);
                }
            }
        }
        g_object_unref(text);
    }
    return result;
}

void *AtspiFocus::accessible(quint64 handle) const
{
    return handle != 0 && handle == m_handle ? m_focused : nullptr;
}

bool AtspiFocus::grabFocus(quint64 handle)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    if (!object)
        return false;
    AtspiComponent *component = atspi_accessible_get_component_iface(object);
    if (!component)
        return false;
    const bool ok = atspi_component_grab_focus(component, nullptr);
    g_object_unref(component);
    return ok;
}

bool AtspiFocus::setSelection(quint64 handle, int start, int end)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    AtspiText *text = object ? atspi_accessible_get_text_iface(object) : nullptr;
    if (!text)
        return false;
    bool ok = atspi_text_get_n_selections(text, nullptr) > 0 ? atspi_text_set_selection(text, 0, start, end, nullptr)
                                                              : atspi_text_add_selection(text, start, end, nullptr);
    if (start == end)
        ok = atspi_text_set_caret_offset(text, start, nullptr);
    g_object_unref(text);
    return ok;
}

bool AtspiFocus::insertText(quint64 handle, const QString &insertion)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    if (!object)
        return false;
    AtspiEditableText *editable = atspi_accessible_get_editable_text_iface(object);
    AtspiText *text = atspi_accessible_get_text_iface(object);
    bool ok = false;
    if (editable && text) {
        const gint before = atspi_text_get_character_count(text, nullptr);
        gint caret = atspi_text_get_caret_offset(text, nullptr);
        gint removed = 0;
        if (atspi_text_get_n_selections(text, nullptr) > 0) {
            if (AtspiRange *range = atspi_text_get_selection(text, 0, nullptr)) {
                if (range->end_offset > range->start_offset) {
                    atspi_editable_text_delete_text(editable, range->start_offset, range->end_offset, nullptr);
                    removed = range->end_offset - range->start_offset;
                    caret = range->start_offset;
                }
                g_free(range);
            }
        }
        const QByteArray utf8 = insertion.toUtf8();
        atspi_editable_text_insert_text(editable, std::max(caret, 0), utf8.constData(), gint(utf8.size()), nullptr);
        const gint after = atspi_text_get_character_count(text, nullptr);
        ok = after == before - removed + gint(insertion.toUcs4().size());
        if (ok)
            atspi_text_set_caret_offset(text, std::max(caret, 0) + gint(insertion.toUcs4().size()), nullptr);
    }
    if (editable)
        g_object_unref(editable);
    if (text)
        g_object_unref(text);
    return ok;
}
