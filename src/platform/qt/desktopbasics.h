#pragma once

#include "platform/desktop.h"

#include <optional>

class QSoundEffect;

// The parts of the desktop that are the same on every session, reached
// through Qt and the session bus: the tray's kind, opening documents, sounds
// and the screens. The X11 and Wayland desktops add what differs.
class DesktopBasics : public Desktop
{
public:
    bool trayAvailable() const override;
    TrayKind trayKind() const override;
    bool openDocument(const QUrl &url) override;
    void openDocumentOr(const QUrl &url, std::function<void()> notOpened) override;
    void beep() override;
    void playSound(const QString &file) override;
    QRect screenGeometry(QPoint at) const override;

private:
    // Qt settles on its tray back end once, when the first tray icon is made
    // (the tray icon asks right after); the answer is kept like Qt's.
    static constexpr int kTrayQuestionTimeoutMs = 1000;
    mutable std::optional<TrayKind> m_trayKind;
    QSoundEffect *m_sound = nullptr;
};
