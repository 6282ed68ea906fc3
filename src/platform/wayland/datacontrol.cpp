#include "platform/wayland/datacontrol.h"

#include <ext-data-control-v1-client-protocol.h>
#include <wlr-data-control-unstable-v1-client-protocol.h>

#include <QElapsedTimer>
#include <QMetaObject>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

const QString DataControl::kOwnMarker = QStringLiteral("application/x-scrapkeeper-own-selection");

namespace {

// The two protocols have the same requests and events, in the same order
// and with the same arguments; one body of code speaks both, given the
// interfaces of the one the compositor offers.
struct Interfaces
{
    const wl_interface *manager;
    const wl_interface *device;
    const wl_interface *source;
    const wl_interface *offer;
    const char *name;
    uint32_t version;
};
const Interfaces kExt{&ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
                      &ext_data_control_source_v1_interface, &ext_data_control_offer_v1_interface,
                      "ext-data-control-v1", 1};
const Interfaces kWlr{&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
                      &zwlr_data_control_source_v1_interface, &zwlr_data_control_offer_v1_interface,
                      "wlr-data-control-unstable-v1", 2};

// Request numbers, the same in both protocols.
enum : uint32_t {
    kCreateDataSource = 0,
    kGetDataDevice = 1,
    kManagerDestroy = 2,
    kSetSelection = 0,
    kDeviceDestroy = 1,
    kSourceOffer = 0,
    kSourceDestroy = 1,
    kOfferReceive = 0,
    kOfferDestroy = 1,
};

static_assert(sizeof(zwlr_data_control_device_v1_listener) == sizeof(ext_data_control_device_v1_listener));
static_assert(sizeof(zwlr_data_control_source_v1_listener) == sizeof(ext_data_control_source_v1_listener));
static_assert(sizeof(zwlr_data_control_offer_v1_listener) == sizeof(ext_data_control_offer_v1_listener));

void destroyProxy(wl_proxy *proxy, uint32_t opcode)
{
    if (proxy)
        wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy), WL_MARSHAL_FLAG_DESTROY);
}

// Listeners are tables of functions, as libwayland takes them.
template<typename Listener>
void (**listenerOf(const Listener *listener))(void)
{
    return reinterpret_cast<void (**)(void)>(const_cast<Listener *>(listener));
}

bool isRaster(const QString &format)
{
    return format.startsWith(QLatin1String("image/")) && format != QLatin1String("image/svg+xml");
}

// The plain-text names programs ask for, all served from our text.
const QStringList kTextNames{QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain"),
                             QStringLiteral("UTF8_STRING"), QStringLiteral("TEXT"), QStringLiteral("STRING")};

} // namespace

struct DataControl::Worker
{
    DataControl *owner = nullptr;
    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_seat *seat = nullptr;
    wl_proxy *manager = nullptr;
    wl_proxy *device = nullptr;
    const Interfaces *interfaces = nullptr;
    uint32_t managerVersion = 1;
    int wake = -1;
    std::atomic<bool> quit{false};

    // The newest selection, to be read after the events in hand are handled.
    wl_proxy *selection = nullptr;
    bool selectionPending = false;

    // Our own selection: what it serves, and the writes to programs pasting it.
    std::mutex mutex;
    std::optional<QHash<QString, QByteArray>> requested;
    wl_proxy *source = nullptr;
    QHash<QString, QByteArray> served;
    struct Write
    {
        int fd;
        QByteArray data;
        qsizetype done;
        QElapsedTimer clock;
    };
    std::vector<Write> writes;

    ~Worker()
    {
        for (const Write &write : writes)
            close(write.fd);
        if (selection)
            forgetOffer(selection);
        destroyProxy(source, kSourceDestroy);
        destroyProxy(device, kDeviceDestroy);
        destroyProxy(manager, kManagerDestroy);
        if (seat)
            wl_seat_destroy(seat);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
        if (wake >= 0)
            close(wake);
    }

    static QStringList *offered(wl_proxy *offer) { return static_cast<QStringList *>(wl_proxy_get_user_data(offer)); }
    static void forgetOffer(wl_proxy *offer)
    {
        delete offered(offer);
        destroyProxy(offer, kOfferDestroy);
    }

    // ---- registry ----
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
    {
        auto *self = static_cast<Worker *>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat) {
            self->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        } else if (std::strcmp(interface, kExt.manager->name) == 0) {
            // The standard protocol wins over the older wlroots one.
            if (self->manager && self->interfaces == &kWlr)
                destroyProxy(self->manager, kManagerDestroy), self->manager = nullptr;
            if (!self->manager) {
                self->interfaces = &kExt;
                self->managerVersion = std::min(version, kExt.version);
                self->manager = static_cast<wl_proxy *>(
                    wl_registry_bind(registry, name, kExt.manager, self->managerVersion));
            }
        } else if (std::strcmp(interface, kWlr.manager->name) == 0 && !self->manager) {
            self->interfaces = &kWlr;
            self->managerVersion = std::min(version, kWlr.version);
            self->manager = static_cast<wl_proxy *>(wl_registry_bind(registry, name, kWlr.manager, self->managerVersion));
        }
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}
    static const wl_registry_listener kRegistryListener;

    // ---- offers ----
    static void offerMime(void *data, zwlr_data_control_offer_v1 *, const char *mime)
    {
        if (auto *mimes = static_cast<QStringList *>(data); mimes && mimes->size() < 1024)
            mimes->append(QString::fromUtf8(mime));
    }
    static const zwlr_data_control_offer_v1_listener kOfferListener;

    // ---- the device ----
    static void dataOffer(void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        auto *proxy = reinterpret_cast<wl_proxy *>(offer);
        wl_proxy_add_listener(proxy, listenerOf(&kOfferListener),
                              new QStringList);
    }
    static void selectionEvent(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        auto *self = static_cast<Worker *>(data);
        // Only the newest selection can still be read: one replaced before we
        // came to it has lost its source.
        if (self->selection)
            forgetOffer(self->selection);
        self->selection = reinterpret_cast<wl_proxy *>(offer);
        self->selectionPending = true;
    }
    static void finished(void *data, zwlr_data_control_device_v1 *)
    {
        auto *self = static_cast<Worker *>(data);
        destroyProxy(self->device, kDeviceDestroy);
        self->device = nullptr;
    }
    static void primarySelection(void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        // The mouse-marking selection is not the clipboard.
        if (offer)
            forgetOffer(reinterpret_cast<wl_proxy *>(offer));
    }
    static const zwlr_data_control_device_v1_listener kDeviceListener;

    // ---- our source ----
    static void send(void *data, zwlr_data_control_source_v1 *source, const char *mime, int32_t fd)
    {
        auto *self = static_cast<Worker *>(data);
        const QString format = QString::fromUtf8(mime);
        if (reinterpret_cast<wl_proxy *>(source) != self->source || !self->served.contains(format)) {
            close(fd);
            return;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        Write write{fd, self->served.value(format), 0, {}};
        write.clock.start();
        self->writes.push_back(std::move(write));
    }
    static void cancelled(void *data, zwlr_data_control_source_v1 *source)
    {
        auto *self = static_cast<Worker *>(data);
        auto *proxy = reinterpret_cast<wl_proxy *>(source);
        if (proxy == self->source) {
            self->source = nullptr;
            self->served.clear();
        }
        destroyProxy(proxy, kSourceDestroy);
    }
    static const zwlr_data_control_source_v1_listener kSourceListener;

    bool connect()
    {
        display = wl_display_connect(nullptr);
        if (!display)
            return false;
        registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &kRegistryListener, this);
        if (wl_display_roundtrip(display) < 0 || !seat || !manager)
            return false;
        device = static_cast<wl_proxy *>(wl_proxy_marshal_flags(manager, kGetDataDevice, interfaces->device,
                                                                managerVersion, 0, nullptr, seat));
        wl_proxy_add_listener(device, listenerOf(&kDeviceListener), this);
        wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake < 0 || wl_display_roundtrip(display) < 0)
            return false;
        // What was selected before we came (told during the round trip, if
        // anything is selected) is not news.
        selectionPending = false;
        return true;
    }

    // Reads one flavour within the deadline; nullopt when it could not be read at all.
    std::optional<QByteArray> receive(wl_proxy *offer, const QString &format, const QElapsedTimer &clock)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return std::nullopt;
        wl_proxy_marshal_flags(offer, kOfferReceive, nullptr, wl_proxy_get_version(offer), 0,
                               format.toUtf8().constData(), fds[1]);
        close(fds[1]);
        wl_display_flush(display);
        QByteArray bytes;
        bool complete = false;
        char buffer[65536];
        while (clock.elapsed() < kReadTimeoutMs && !quit) {
            // Short waits, so a program that leaves is not held by a silent source.
            pollfd readable{fds[0], POLLIN, 0};
            const int ready = poll(&readable, 1, int(std::clamp<qint64>(kReadTimeoutMs - clock.elapsed(), 1, 100)));
            if (ready == 0 || (ready < 0 && errno == EINTR))
                continue;
            if (ready < 0)
                break;
            const ssize_t got = read(fds[0], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                complete = got == 0;
                break;
            }
            bytes.append(buffer, got);
            if (bytes.size() > kMaxFlavourBytes) {
                // Past the bound: what was read says so; the rest is not wanted.
                complete = true;
                break;
            }
        }
        close(fds[0]);
        if (!complete)
            return std::nullopt;
        return bytes;
    }

    void readSelection()
    {
        selectionPending = false;
        wl_proxy *offer = selection;
        DataControl::Selection read;
        if (offer) {
            read.formats = *offered(offer);
            if (read.formats.contains(kOwnMarker))
                return;  // our own, come back
        }
        QElapsedTimer clock;
        clock.start();
        for (const QString &format : DataControl::kept(read.formats)) {
            if (clock.elapsed() >= kReadTimeoutMs)
                break;
            if (std::optional<QByteArray> bytes = receive(offer, format, clock))
                read.data.insert(format, *bytes);
        }
        DataControl *target = owner;
        QMetaObject::invokeMethod(
            target, [target, read] { emit target->selectionChanged(read); }, Qt::QueuedConnection);
    }

    void takeRequest()
    {
        std::optional<QHash<QString, QByteArray>> flavours;
        {
            std::lock_guard lock(mutex);
            flavours.swap(requested);
        }
        if (!flavours || !device)
            return;
        auto *made = static_cast<wl_proxy *>(
            wl_proxy_marshal_flags(manager, kCreateDataSource, interfaces->source, managerVersion, 0, nullptr));
        wl_proxy_add_listener(made, listenerOf(&kSourceListener), this);
        for (auto it = flavours->cbegin(); it != flavours->cend(); ++it)
            wl_proxy_marshal_flags(made, kSourceOffer, nullptr, managerVersion, 0, it.key().toUtf8().constData());
        wl_proxy_marshal_flags(made, kSourceOffer, nullptr, managerVersion, 0, kOwnMarker.toUtf8().constData());
        wl_proxy_marshal_flags(device, kSetSelection, nullptr, managerVersion, 0, made);
        if (source)
            destroyProxy(source, kSourceDestroy);
        source = made;
        served = *flavours;
        served.insert(kOwnMarker, QByteArray());
    }

    void serveWrites(const std::vector<pollfd> &polled, size_t first)
    {
        for (size_t i = 0; i < writes.size();) {
            Write &write = writes[i];
            bool finished = write.clock.elapsed() >= kWriteTimeoutMs;
            const short events = first + i < polled.size() ? polled[first + i].revents : 0;
            if (!finished && (events & (POLLOUT | POLLERR | POLLHUP))) {
                const ssize_t put = ::write(write.fd, write.data.constData() + write.done,
                                            size_t(std::min<qsizetype>(write.data.size() - write.done, 65536)));
                if (put > 0)
                    write.done += put;
                else if (!(put < 0 && (errno == EAGAIN || errno == EINTR)))
                    finished = true;
                finished = finished || write.done >= write.data.size();
            }
            if (finished) {
                close(write.fd);
                writes.erase(writes.begin() + qsizetype(i));
            } else {
                ++i;
            }
        }
    }

    void run()
    {
        // A program that stops reading our selection half way must cost an
        // error on this thread's write, not the whole process.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

        const int displayFd = wl_display_get_fd(display);
        while (!quit) {
            while (wl_display_prepare_read(display) != 0) {
                if (wl_display_dispatch_pending(display) < 0)
                    break;
            }
            wl_display_flush(display);
            std::vector<pollfd> fds{{displayFd, POLLIN, 0}, {wake, POLLIN, 0}};
            const size_t firstWrite = fds.size();
            for (const Write &write : writes)
                fds.push_back({write.fd, POLLOUT, 0});
            const int ready = poll(fds.data(), nfds_t(fds.size()), writes.empty() ? -1 : 100);
            if (ready > 0 && (fds[0].revents & POLLIN)) {
                if (wl_display_read_events(display) < 0)
                    break;
            } else {
                wl_display_cancel_read(display);
            }
            if (fds[0].revents & (POLLERR | POLLHUP))
                break;
            if (wl_display_dispatch_pending(display) < 0)
                break;
            if (fds[1].revents & POLLIN) {
                eventfd_t value;
                eventfd_read(wake, &value);
            }
            if (quit)
                return;
            takeRequest();
            serveWrites(fds, firstWrite);
            if (selectionPending)
                readSelection();
            if (wl_display_get_error(display) != 0)
                break;
        }
        if (!quit) {
            DataControl *target = owner;
            QMetaObject::invokeMethod(target, [target] { emit target->compositorGone(); }, Qt::QueuedConnection);
        }
    }
};

const wl_registry_listener DataControl::Worker::kRegistryListener{global, globalRemove};
const zwlr_data_control_offer_v1_listener DataControl::Worker::kOfferListener{offerMime};
const zwlr_data_control_device_v1_listener DataControl::Worker::kDeviceListener{dataOffer, selectionEvent, finished,
                                                                               primarySelection};
const zwlr_data_control_source_v1_listener DataControl::Worker::kSourceListener{send, cancelled};

DataControl::DataControl(QObject *parent)
    : QObject(parent)
{
}

DataControl::~DataControl()
{
    if (m_thread.joinable()) {
        m_worker->quit = true;
        eventfd_write(m_worker->wake, 1);
        m_thread.join();
    }
}

bool DataControl::start()
{
    auto worker = std::make_unique<Worker>();
    worker->owner = this;
    if (!worker->connect())
        return false;
    m_protocol = QString::fromLatin1(worker->interfaces->name);
    m_worker = std::move(worker);
    m_thread = std::thread([worker = m_worker.get()] { worker->run(); });
    return true;
}

void DataControl::setSelection(const QHash<QString, QByteArray> &flavours)
{
    if (!m_worker)
        return;
    QHash<QString, QByteArray> offered = flavours;
    // Programs ask for plain text by several names.
    for (const QString &name : kTextNames) {
        if (flavours.contains(name)) {
            const QByteArray text = flavours.value(name);
            for (const QString &other : kTextNames)
                offered.insert(other, offered.value(other, text));
            break;
        }
    }
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->requested = std::move(offered);
    }
    eventfd_write(m_worker->wake, 1);
}

QStringList DataControl::kept(const QStringList &offered)
{
    QStringList result;
    bool rasterKept = false;
    for (const QString &format : offered) {
        if (format == kOwnMarker || result.contains(format))
            continue;
        if (isRaster(format)) {
            if (rasterKept)
                continue;
            rasterKept = true;
        }
        result << format;
        if (result.size() >= kMaxFlavours)
            break;
    }
    return result;
}
