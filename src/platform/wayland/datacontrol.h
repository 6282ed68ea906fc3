#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

// The clipboard-manager side of a Wayland session: a connection of its own to
// the compositor that hears of every new selection, whichever window has the
// focus, reads its flavours and can set a selection of ours. It speaks
// ext-data-control-v1 where the compositor offers it, else
// wlr-data-control-unstable-v1. All talk with the compositor and with the
// programs that own a selection happens on a worker thread, within bounds of
// size and time, so a source that never sends its data holds up nothing else.
class DataControl : public QObject
{
    Q_OBJECT
public:
    // What one selection offered, as it was read.
    struct Selection
    {
        QStringList formats;             // every flavour offered, in the owner's order
        QHash<QString, QByteArray> data; // the flavours read (see kept())
    };

    // A flavour is read up to this many bytes and one more, so the reader can
    // tell a flavour past the bound from one that just reaches it.
    static constexpr qsizetype kMaxFlavourBytes = 64 * 1024 * 1024;
    // How long one selection may take to read, all its flavours together.
    static constexpr int kReadTimeoutMs = 5000;
    // How long a program pasting our selection may take to read it.
    static constexpr int kWriteTimeoutMs = 5000;
    // The flavour our own selections carry, so they are known when they come back.
    static const QString kOwnMarker;

    explicit DataControl(QObject *parent = nullptr);
    ~DataControl() override;

    // Connects and starts listening; false when the compositor offers neither
    // protocol (or no session is reachable). What is selected at this moment
    // is announced like any later selection.
    bool start();
    // "ext-data-control-v1" or "wlr-data-control-unstable-v1", once started.
    QString protocol() const { return m_protocol; }

    // Makes these flavours the selection (the worker serves them). Returns at once.
    void setSelection(const QHash<QString, QByteArray> &flavours);

    // Which of the offered flavours are read: all but a second raster picture
    // (the first one the owner lists is enough), at most kMaxFlavours of them.
    static QStringList kept(const QStringList &offered);
    static constexpr int kMaxFlavours = 32;

signals:
    // A selection made by another program (ours are not announced).
    void selectionChanged(const DataControl::Selection &selection);
    // The compositor closed the connection.
    void compositorGone();

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
    std::thread m_thread;
    QString m_protocol;
};
