// Pastes into other programs served without the window waiting (X11).
#include "platform/X11PasteHold.h"

#include "base/SpareTime.h"
#include "platform/X11Support.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QHash>
#include <QTimer>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace X11PasteHold {

namespace {
// The data is made on other threads, which cannot tell this one when they are done: while a
// request is held, a short timer looks again.
constexpr int LookAgainMs = 4;
// A reader that takes no part of a transfer in parts for this long is given up, as Qt does.
constexpr auto StalledAfter = std::chrono::seconds(5);

// The bytes of one part of a transfer in parts (and the most that goes at once), for a server that
// takes requests of up to `maximumRequest` 4-byte units. With the large requests servers allow
// (16 MiB) every part would be fresh memory to the server and the reader, copied several times
// over before the next one could start: a 4K capture reached the reader at little more than half
// the speed it has in parts of 256 KiB, which stay in the caches and reused heaps while the reader
// takes one part and this side writes the next. Smaller parts cost more in trips than they save.
qsizetype PartSize(uint32_t maximumRequest)
{
    constexpr uint32_t PlainRequest = 65535;  // the most a request without the large-request form carries
    constexpr qsizetype ChangePropertyHeader = 24;
    return qsizetype(qMin(maximumRequest, PlainRequest)) * 4 - ChangePropertyHeader;
}

// Without an event mask an event goes to the client that made the window.
void Send(xcb_connection_t *c, xcb_window_t window, const void *event, size_t size)
{
    std::array<char, 32> bytes{};  // every event is sent as 32 bytes
    std::memcpy(bytes.data(), event, size);
    x11::Quietly(c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, bytes.data()));
}

void Answer(xcb_connection_t *c, const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    Send(c, request.requestor, &notify, sizeof notify);
}

// Writes ready data into the readers' windows on a thread and a connection of its own, large data
// in parts as each reader takes the one before (ICCCM's INCR transfer): a reader that is slow,
// stalls or goes away mid-transfer, or twenty at once, never hold up the window.
class Courier
{
public:
    Courier()
    {
        if (xcb_connection_has_error(m_c) || m_wake < 0)
            return;
        m_incr = Atom("INCR");
        m_part = PartSize(xcb_get_maximum_request_length(m_c));
        m_serving = true;
        m_thread = std::thread([this] {
            // Writing to many readers at once must not take the processor from the window.
            SpareTime::LowerThisThread();
            Run();
            // Its connection has gone (the server with it, or the connection alone).
            std::lock_guard<std::mutex> lock(m_mutex);
            m_serving = false;
            m_incoming.clear();
        });
    }

    ~Courier()
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_stop = true;
            }
            Wake();
            m_thread.join();
        }
        xcb_disconnect(m_c);
        if (m_wake >= 0)
            ::close(m_wake);
    }

    // False where the courier cannot serve (any more): the request is then Qt's.
    bool Deliver(const xcb_selection_request_event_t &request, QByteArray data)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_serving)
                return false;
            m_incoming.push_back(Transfer{request, std::move(data), XCB_ATOM_NONE, 0, false, {}});
        }
        Wake();
        return true;
    }

private:
    struct Transfer
    {
        xcb_selection_request_event_t request;
        QByteArray data;
        xcb_atom_t property = XCB_ATOM_NONE;
        qsizetype sent = 0;  // bytes of data written so far in parts; -1 before the first
        bool ended = false;  // the closing empty part is written
        std::chrono::steady_clock::time_point lastTaken;
    };

    xcb_atom_t Atom(const char *name)
    {
        const auto reply = x11::Wait(m_c, xcb_intern_atom_reply, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    void Wake()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    }

    void Run()
    {
        std::vector<Transfer> running;
        for (;;) {
            std::vector<Transfer> incoming;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_stop)
                    break;
                incoming.swap(m_incoming);
            }
            for (Transfer &transfer : incoming)
                if (Begin(transfer))
                    running.push_back(std::move(transfer));
            incoming.clear();  // the data written at once goes now, not after the wait below
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
                Handle(event, running);
                std::free(event);
            }
            const auto now = std::chrono::steady_clock::now();
            const auto over = [&](const Transfer &t) { return t.ended || now - t.lastTaken > StalledAfter; };
            for (auto it = running.begin(); it != running.end();) {
                if (!over(*it)) {
                    ++it;
                    continue;
                }
                // The reader's window is watched as long as any transfer to it runs.
                const xcb_window_t window = it->request.requestor;
                it = running.erase(it);
                if (std::none_of(running.begin(), running.end(),
                                 [&](const Transfer &t) { return t.request.requestor == window && !over(t); })) {
                    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
                    xcb_change_window_attributes(m_c, window, XCB_CW_EVENT_MASK, &none);
                }
            }
            xcb_flush(m_c);
            if (xcb_connection_has_error(m_c))
                break;  // the server has gone: nothing more to serve
            pollfd fds[2] = {{xcb_get_file_descriptor(m_c), POLLIN, 0}, {m_wake, POLLIN, 0}};
            ::poll(fds, 2, running.empty() ? -1 : 500);
            if (fds[1].revents & POLLIN) {
                uint64_t count;
                [[maybe_unused]] const ssize_t read = ::read(m_wake, &count, sizeof count);
            }
        }
    }

    // Small data goes at once; large data is announced, its parts follow as the reader takes them.
    bool Begin(Transfer &t)
    {
        const xcb_selection_request_event_t &r = t.request;
        // Readers of before ICCCM name no property: the target serves as one.
        t.property = r.property != XCB_ATOM_NONE ? r.property : r.target;
        if (t.data.size() <= m_part) {
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, r.requestor, t.property, r.target, 8,
                                uint32_t(t.data.size()), t.data.constData());
            Answer(m_c, r, t.property);
            return false;
        }
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, r.requestor, XCB_CW_EVENT_MASK, &mask);
        const uint32_t size = uint32_t(qMin<qsizetype>(t.data.size(), 0xffffffff));
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, r.requestor, t.property, m_incr, 32, 1, &size);
        Answer(m_c, r, t.property);
        t.sent = 0;
        t.lastTaken = std::chrono::steady_clock::now();
        return true;
    }

    void Handle(const xcb_generic_event_t *event, std::vector<Transfer> &running)
    {
        const int type = event->response_type & 0x7f;
        if (type == XCB_DESTROY_NOTIFY) {
            const auto *destroyed = reinterpret_cast<const xcb_destroy_notify_event_t *>(event);
            for (Transfer &t : running)
                if (t.request.requestor == destroyed->window)
                    t.ended = true;  // the reader has gone mid-transfer
            return;
        }
        if (type != XCB_PROPERTY_NOTIFY)
            return;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->state != XCB_PROPERTY_DELETE)
            return;
        for (Transfer &t : running) {
            if (t.ended || t.request.requestor != notify->window || t.property != notify->atom)
                continue;
            // The reader has taken the part before: the next one, or the empty part that ends it.
            const qsizetype part = qMin(m_part, t.data.size() - t.sent);
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, t.request.requestor, t.property, t.request.target, 8,
                                uint32_t(part), t.data.constData() + t.sent);
            t.sent += part;
            t.ended = part == 0;
            t.lastTaken = std::chrono::steady_clock::now();
        }
    }

    xcb_connection_t *m_c = xcb_connect(nullptr, nullptr);
    int m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    qsizetype m_part = 0;
    std::mutex m_mutex;
    std::vector<Transfer> m_incoming;
    bool m_serving = false;
    bool m_stop = false;
    std::thread m_thread;
};

class Hold : public QObject, public QAbstractNativeEventFilter
{
public:
    Hold(xcb_connection_t *c, xcb_atom_t clipboard, StillMaking stillMaking, ReadyData readyData)
        : QObject(QCoreApplication::instance()), m_c(c), m_clipboard(clipboard),
          m_stillMaking(std::move(stillMaking)), m_readyData(std::move(readyData))
    {
        m_lookAgain.setInterval(LookAgainMs);
        m_lookAgain.setTimerType(Qt::PreciseTimer);
        connect(&m_lookAgain, &QTimer::timeout, this, &Hold::HandOnReady);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    // At the end no event loop runs any more to hand requests on: a refusal spares the other
    // program a wait for an answer that will never come.
    ~Hold() override
    {
        for (const xcb_selection_request_event_t &request : m_held)
            Answer(m_c, request, XCB_ATOM_NONE);
        xcb_flush(m_c);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
            return false;
        const auto *request = reinterpret_cast<const xcb_selection_request_event_t *>(event);
        if (request->selection != m_clipboard)
            return false;
        // One handed on by this filter (sent, not from the server itself) is Qt's to answer.
        const bool handedOn = event->response_type & 0x80;
        QByteArray target;
        if (!handedOn) {
            target = Name(request->target);
            if (target == "TARGETS" || target == "TIMESTAMP")
                return false;
            if (!m_held.empty() || m_stillMaking(target)) {
                m_held.push_back(*request);
                m_lookAgain.start();
                return true;
            }
            if (Deliver(*request, target))
                return true;
        }
        // Requests that Qt answers and that come together are handled in one go: a second
        // answer, which may be large, waits for the event loop's next turn.
        if (m_servedThisTurn) {
            m_held.insert(m_held.begin(), *request);
            m_lookAgain.start();
            return true;
        }
        m_servedThisTurn = true;
        QTimer::singleShot(0, this, [this] { m_servedThisTurn = false; });
        return false;
    }

private:
    // Ready data of this process goes to the courier; the rest to Qt.
    bool Deliver(const xcb_selection_request_event_t &request, const QByteArray &target)
    {
        if (!m_readyData)
            return false;
        QByteArray data = m_readyData(target);
        return !data.isNull() && m_courier.Deliver(request, std::move(data));
    }

    // A ready request that the courier does not take goes back to Qt's own window through the
    // server, behind whatever has come since: Qt then handles it as if it had just come, with
    // every check it makes of a request (does it still own the clipboard, is the request older
    // than its content) and without any event loop running inside its clipboard code. One at a
    // time, in the order they came.
    void HandOnReady()
    {
        while (!m_held.empty()) {
            const xcb_selection_request_event_t request = m_held.front();
            const QByteArray target = Name(request.target);
            if ((request.response_type & 0x80) == 0 && m_stillMaking(target))
                break;
            if ((request.response_type & 0x80) == 0 && Deliver(request, target)) {
                m_held.erase(m_held.begin());
                continue;
            }
            if (m_servedThisTurn)
                break;
            m_held.erase(m_held.begin());
            Send(m_c, request.owner, &request, sizeof request);
            xcb_flush(m_c);
            break;
        }
        if (m_held.empty())
            m_lookAgain.stop();
    }

    QByteArray Name(xcb_atom_t atom)
    {
        auto known = m_names.constFind(atom);
        if (known != m_names.constEnd())
            return *known;
        QByteArray name;
        if (const auto reply = x11::Wait(m_c, xcb_get_atom_name_reply, xcb_get_atom_name(m_c, atom)))
            name = QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
        m_names.insert(atom, name);
        return name;
    }

    xcb_connection_t *m_c;
    xcb_atom_t m_clipboard;
    StillMaking m_stillMaking;
    ReadyData m_readyData;
    Courier m_courier;
    QTimer m_lookAgain;
    std::vector<xcb_selection_request_event_t> m_held;
    bool m_servedThisTurn = false;
    QHash<xcb_atom_t, QByteArray> m_names;
};
}

bool Install(StillMaking stillMaking, ReadyData readyData)
{
    const auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const QByteArray name("CLIPBOARD");
    const auto clipboard = x11::Wait(c, xcb_intern_atom_reply, xcb_intern_atom(c, 0, quint16(name.size()), name.constData()));
    if (!clipboard)
        return false;
    // Owned by the application object: gone before Qt's clipboard at the end (which may still
    // answer a clipboard manager then), once every thread of Qt's pool has finished.
    new Hold(c, clipboard->atom, std::move(stillMaking), std::move(readyData));
    return true;
}

}
