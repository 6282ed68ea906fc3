#pragma once

#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// The i3-compatible window-manager socket of sway (SWAYSOCK, or I3SOCK): the
// one way a Wayland client can learn which window has the focus and where it
// stands, and ask for a window to be focused or moved. Every call is bounded,
// so a compositor that does not answer costs a short wait, never a hang.
class SwayIpc
{
public:
    struct Window
    {
        qint64 id = 0;       // the compositor's container id
        quint32 pid = 0;
        QRect rect;          // the window's content, layout coordinates
        QString appId;
        QString title;
    };

    // The socket named in the environment; empty when there is none.
    static QString socketPath();
    bool available() const { return !socketPath().isEmpty(); }

    // The window that has the focus, if the compositor says.
    std::optional<Window> focusedWindow() const;
    struct Output
    {
        QString name;
        QRect rect;         // layout coordinates
        double scale = 1;   // the compositor's own, which may be fractional
    };
    // The active outputs.
    QList<Output> outputs() const;
    // Runs a command ("[con_id=5] focus"); true when the compositor did it.
    bool run(const QString &command) const;

    // The newest window of a process with this title, if the compositor shows one.
    std::optional<Window> windowOf(quint32 pid, const QString &title) const;

    // The configuration file sway read, as get_config answers it; empty when it does not say.
    QString config() const;
    // The key bindings of a configuration that would catch the Ctrl+V (or
    // Ctrl+Shift+V) the program pastes with: bindings by symbol match the
    // keys of every keyboard, the program's own included; bindings by key
    // position (--to-code) do not, as the program's V sits elsewhere.
    static QStringList bindingsCatchingPasteKeys(const QString &config);

    // Finds the focused window in a tree as get_tree answers it.
    static std::optional<Window> focusedIn(const QJsonObject &tree);
    // Every window of the tree, in tree order.
    static QList<Window> windowsIn(const QJsonObject &tree);

private:
    static constexpr int kTimeoutMs = 500;
    std::optional<QByteArray> ask(quint32 type, const QByteArray &payload) const;
};
