#include "platform/x11/atspifocus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>

#include <atspi/atspi.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int kProbeTimeoutMs = 500;
constexpr int kCallTimeoutMs = 500;
constexpr int kMaxNodes = 4000;
constexpr qint64 kMaxSearchMs = 400;
// An insertion is checked by reading it back, with a margin on each side.
constexpr int kReadBackMargin = 32;
constexpr int kMaxParentSteps = 64;

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

template<typename T>
struct Unref
{
    T *object;
    ~Unref()
    {
        if (object)
            g_object_unref(object);
    }
    operator T *() const { return object; }
};

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

bool focusable(AtspiAccessible *object)
{
    AtspiStateSet *states = atspi_accessible_get_state_set(object);
    if (!states)
        return false;
    const bool result = atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE)
                        && atspi_state_set_contains(states, ATSPI_STATE_SHOWING)
                        && (atspi_state_set_contains(states, ATSPI_STATE_SENSITIVE)
                            || atspi_state_set_contains(states, ATSPI_STATE_ENABLED));
    g_object_unref(states);
    return result;
}

bool isWindowRole(AtspiRole role)
{
    return role == ATSPI_ROLE_FRAME || role == ATSPI_ROLE_DIALOG || role == ATSPI_ROLE_WINDOW
           || role == ATSPI_ROLE_ALERT || role == ATSPI_ROLE_FILE_CHOOSER;
}

// The window (frame, dialog) that holds the object; a new reference, or null.
AtspiAccessible *windowOf(AtspiAccessible *object)
{
    AtspiAccessible *node = static_cast<AtspiAccessible *>(g_object_ref(object));
    for (int step = 0; step < kMaxParentSteps; ++step) {
        if (isWindowRole(atspi_accessible_get_role(node, nullptr)))
            return node;
        AtspiAccessible *parent = atspi_accessible_get_parent(node, nullptr);
        if (!parent || atspi_accessible_get_role(parent, nullptr) == ATSPI_ROLE_APPLICATION) {
            if (parent)
                g_object_unref(parent);
            return node;  // the topmost object below the application
        }
        g_object_unref(node);
        node = parent;
    }
    g_object_unref(node);
    return nullptr;
}

// The children of a node in the order the toolkit moves the focus through
// them: Qt follows the order of its widgets, GTK the position on screen
// (top to bottom, then left to right), whatever order its containers list
// them in. New references.
std::vector<AtspiAccessible *> childrenInFocusOrder(AtspiAccessible *node, bool byPosition)
{
    struct Child
    {
        AtspiAccessible *object;
        int centreY;
        int centreX;
    };
    std::vector<Child> children;
    const gint count = std::min(atspi_accessible_get_child_count(node, nullptr), 512);
    for (gint i = 0; i < count; ++i) {
        AtspiAccessible *child = atspi_accessible_get_child_at_index(node, i, nullptr);
        if (!child)
            continue;
        Child entry{child, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
        if (byPosition) {
            if (AtspiComponent *component = atspi_accessible_get_component_iface(child)) {
                if (AtspiRect *rect = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr)) {
                    entry.centreY = rect->y + rect->height / 2;
                    entry.centreX = rect->x + rect->width / 2;
                    g_free(rect);
                }
                g_object_unref(component);
            }
        }
        children.push_back(entry);
    }
    if (byPosition) {
        std::stable_sort(children.begin(), children.end(), [](const Child &a, const Child &b) {
            return a.centreY != b.centreY ? a.centreY < b.centreY : a.centreX < b.centreX;
        });
    }
    std::vector<AtspiAccessible *> result;
    result.reserve(children.size());
    for (const Child &child : children)
        result.push_back(child.object);
    return result;
}

// The first focusable control after `target` in the focus order of
// `window`, skipping the target's own descendants; a new reference, or null.
AtspiAccessible *nextFocusableAfter(AtspiAccessible *window, AtspiAccessible *target, bool byPosition)
{
    QElapsedTimer clock;
    clock.start();
    // Objects compare by their bus identity, not by their proxies.
    auto sameObject = [](AtspiAccessible *a, AtspiAccessible *b) {
        return a == b
               || (a->parent.app == b->parent.app && a->parent.path && b->parent.path
                   && strcmp(a->parent.path, b->parent.path) == 0);
    };
    std::vector<AtspiAccessible *> stack{static_cast<AtspiAccessible *>(g_object_ref(window))};
    AtspiAccessible *found = nullptr;
    bool passed = false;
    int visited = 0;
    while (!stack.empty()) {
        AtspiAccessible *node = stack.back();
        stack.pop_back();
        if (!found && ++visited <= kMaxNodes && clock.elapsed() < kMaxSearchMs) {
            if (sameObject(node, target)) {
                passed = true;  // its own children are not "after" it
            } else if (passed && focusable(node)) {
                found = static_cast<AtspiAccessible *>(g_object_ref(node));
            } else if (node == window || hasState(node, ATSPI_STATE_SHOWING)) {
                const std::vector<AtspiAccessible *> children = childrenInFocusOrder(node, byPosition);
                stack.insert(stack.end(), children.rbegin(), children.rend());
            }
        }
        g_object_unref(node);
    }
    return found;
}

// Qt's bus adaptor counts an inserted text's length in UTF-16 units, and
// also its offsets; the GTK one takes the length in UTF-8 bytes and counts
// offsets in characters.
bool isQt(AtspiAccessible *object)
{
    AtspiAccessible *application = atspi_accessible_get_application(object, nullptr);
    if (!application)
        return false;
    gchar *toolkit = atspi_accessible_get_toolkit_name(application, nullptr);
    const bool qt = toolkit && g_ascii_strcasecmp(toolkit, "Qt") == 0;
    g_free(toolkit);
    g_object_unref(application);
    return qt;
}

QString textOf(AtspiText *text, gint start, gint end)
{
    gchar *utf8 = atspi_text_get_text(text, start, end, nullptr);
    const QString result = utf8 ? QString::fromUtf8(utf8) : QString();
    g_free(utf8);
    return result;
}

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

AtspiFocus::Lookup AtspiFocus::lookUp(quint32 pid, Result &result)
{
    result = {};
    forget();
    AtspiAccessible *desktop = atspi_get_desktop(0);
    if (!desktop)
        return Lookup::NotOnBus;
    bool onBus = false;
    AtspiAccessible *focused = nullptr;
    const gint apps = std::min(atspi_accessible_get_child_count(desktop, nullptr), 512);
    for (gint i = 0; i < apps && !focused; ++i) {
        AtspiAccessible *app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app)
            continue;
        if (atspi_accessible_get_process_id(app, nullptr) == pid) {
            onBus = true;
            // States change while we look again: ask the application, not our cache.
            atspi_accessible_clear_cache(app);
            focused = findFocused(app);
        }
        g_object_unref(app);
    }
    g_object_unref(desktop);
    if (!focused && g_lastFocused && atspi_accessible_get_process_id(g_lastFocused, nullptr) == pid)
        focused = static_cast<AtspiAccessible *>(g_object_ref(g_lastFocused));
    if (!focused)
        return onBus ? Lookup::NothingFocused : Lookup::NotOnBus;
    result = adopt(focused);
    return Lookup::Found;
}

AtspiFocus::Result AtspiFocus::focusedIn(quint32 pid, const std::function<bool()> &keepWaiting)
{
    Result result;
    if (m_state != State::Ready || pid == 0)
        return result;
    Lookup lookup = lookUp(pid, result);
    while (lookup == Lookup::NothingFocused && keepWaiting())
        lookup = lookUp(pid, result);
    return result;
}

// Takes over a reference to the object as the current control and describes it.
AtspiFocus::Result AtspiFocus::adopt(void *object)
{
    auto *focused = static_cast<AtspiAccessible *>(object);
    forget();
    m_focused = focused;
    m_handle = quintptr(focused);
    Result result;
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
            result.caretOffset = offset;
            result.selectionStart = result.selectionEnd = offset;
            if (atspi_text_get_n_selections(text, nullptr) > 0) {
                if (AtspiRange *range = atspi_text_get_selection(text, 0, nullptr)) {
                    if (range->start_offset >= 0 && range->end_offset >= range->start_offset) {
                        result.selectionStart = range->start_offset;
                        result.selectionEnd = range->end_offset;
                    }
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

bool AtspiFocus::isFocused(quint64 handle)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    if (!object)
        return false;
    atspi_accessible_clear_cache(object);
    return hasState(object, ATSPI_STATE_FOCUSED);
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

void AtspiFocus::bringBackFocus(quint64 handle, int caretOffset, int selectionStart, int selectionEnd,
                                int patienceMs, const std::function<void(int milliseconds)> &wait)
{
    if (!accessible(handle))
        return;
    // The application takes a moment to call the control focused again.
    QElapsedTimer clock;
    clock.start();
    while (!isFocused(handle)) {
        if (clock.elapsed() >= patienceMs) {
            // The focus really has to move: move it, and put back where the caret was.
            if (grabFocus(handle))
                restoreCaret(handle, caretOffset, selectionStart, selectionEnd);
            return;
        }
        wait(10);
    }
}

bool AtspiFocus::restoreCaret(quint64 handle, int caretOffset, int selectionStart, int selectionEnd)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    AtspiText *text = object ? atspi_accessible_get_text_iface(object) : nullptr;
    if (!text)
        return false;
    bool ok = false;
    if (selectionStart >= 0 && selectionEnd > selectionStart) {
        ok = atspi_text_get_n_selections(text, nullptr) > 0
                 ? atspi_text_set_selection(text, 0, selectionStart, selectionEnd, nullptr)
                 : atspi_text_add_selection(text, selectionStart, selectionEnd, nullptr);
    } else if (caretOffset >= 0) {
        // Setting the caret also drops a selection the focus change made.
        ok = atspi_text_set_caret_offset(text, caretOffset, nullptr);
        if (atspi_text_get_n_selections(text, nullptr) > 0)
            atspi_text_remove_selection(text, 0, nullptr);
    }
    g_object_unref(text);
    return ok;
}

bool AtspiFocus::insertText(quint64 handle, const QString &insertion)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    if (!object)
        return false;
    const Unref<AtspiEditableText> editable{atspi_accessible_get_editable_text_iface(object)};
    const Unref<AtspiText> text{atspi_accessible_get_text_iface(object)};
    if (!editable || !text)
        return false;
    const bool qt = isQt(object);
    const gint length = qt ? gint(insertion.size()) : gint(insertion.toUcs4().size());
    gint caret = std::max(atspi_text_get_caret_offset(text, nullptr), 0);
    if (atspi_text_get_n_selections(text, nullptr) > 0) {
        if (AtspiRange *range = atspi_text_get_selection(text, 0, nullptr)) {
            if (range->start_offset >= 0 && range->end_offset > range->start_offset) {
                atspi_editable_text_delete_text(editable, range->start_offset, range->end_offset, nullptr);
                caret = range->start_offset;
            }
            g_free(range);
        }
    }
    // What the control holds around the caret before and after tells
    // whether the insertion arrived, without reading a whole document.
    const gint from = std::max(caret - kReadBackMargin, 0);
    const gint before = atspi_text_get_character_count(text, nullptr);
    const QString around = textOf(text, from, caret + kReadBackMargin);

    const QByteArray utf8 = insertion.toUtf8();
    atspi_editable_text_insert_text(editable, caret, utf8.constData(), qt ? length : gint(utf8.size()), nullptr);

    if (textOf(text, caret, caret + length) == insertion) {
        atspi_text_set_caret_offset(text, caret + length, nullptr);
        return true;
    }
    // Something else arrived (a single-line control drops line breaks):
    // delivered all the same, and never to be typed a second time.
    return atspi_text_get_character_count(text, nullptr) != before
           || textOf(text, from, caret + kReadBackMargin) != around;
}

ForeignFocus AtspiFocus::focusNextIn(const ForeignFocus &target, QPoint caretOrigin)
{
    ForeignFocus next;
    const Result found = focusNext(target.accessible);
    if (!found.found)
        return next;
    next.window = target.window;
    next.windowOrigin = target.windowOrigin;
    adopt(next, found, caretOrigin);
    return next;
}

void AtspiFocus::adopt(ForeignFocus &focus, const Result &inside, QPoint caretOrigin)
{
    focus.accessible = inside.handle;
    focus.caretKnown = inside.caretKnown;
    focus.caret = inside.caret + caretOrigin;
    focus.caretOffset = inside.caretOffset;
    focus.selectionStart = inside.selectionStart;
    focus.selectionEnd = inside.selectionEnd;
    focus.inCombo = inside.inCombo;
    focus.comboSelStart = inside.inCombo ? inside.selectionStart : -1;
    focus.comboSelEnd = inside.inCombo ? inside.selectionEnd : -1;
}

AtspiFocus::Result AtspiFocus::focusNext(quint64 handle)
{
    auto *object = static_cast<AtspiAccessible *>(accessible(handle));
    if (!object)
        return {};
    AtspiAccessible *window = windowOf(object);
    if (!window)
        return {};
    atspi_accessible_clear_cache(window);
    AtspiAccessible *next = nextFocusableAfter(window, object, !isQt(object));
    g_object_unref(window);
    if (!next)
        return {};
    if (AtspiComponent *component = atspi_accessible_get_component_iface(next)) {
        atspi_component_grab_focus(component, nullptr);
        g_object_unref(component);
    }
    return adopt(next);
}
