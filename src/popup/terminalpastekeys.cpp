#include "popup/terminalpastekeys.h"

#include <QHash>

namespace {

// Window class names (lower case) of the common terminal emulators.
const QHash<QString, PasteKey> &terminals()
{
    static const QHash<QString, PasteKey> table = [] {
        QHash<QString, PasteKey> keys;
        for (const char *name :
             {"gnome-terminal", "gnome-terminal-server", "kgx", "org.gnome.console", "ptyxis", "org.gnome.ptyxis",
              "konsole", "yakuake", "xfce4-terminal", "lxterminal", "mate-terminal", "qterminal", "terminator",
              "tilix", "com.gexperts.tilix", "terminology", "sakura", "guake", "tilda", "roxterm", "termite",
              "kitty", "alacritty", "foot", "footclient", "wezterm", "org.wezfurlong.wezterm",
              "io.elementary.terminal", "deepin-terminal", "cool-retro-term"})
            keys.insert(QString::fromLatin1(name), PasteKey::CtrlShiftV);
        for (const char *name : {"xterm", "uxterm", "rxvt", "urxvt", "rxvt-unicode", "mrxvt", "aterm", "eterm",
                                 "kterm", "st", "st-256color"})
            keys.insert(QString::fromLatin1(name), PasteKey::None);
        return keys;
    }();
    return table;
}

} // namespace

PasteKey TerminalPasteKeys::forWindowClass(const QStringList &names)
{
    // Either name may be the one a terminal is known by (xterm's class is
    // "XTerm", GNOME Terminal's instance "gnome-terminal-server").
    for (const QString &name : names) {
        const auto found = terminals().constFind(name.trimmed().toLower());
        if (found != terminals().constEnd())
            return *found;
    }
    return PasteKey::CtrlV;
}
