// Pastes into other programs that wait for data still being made, without the window waiting (X11).
#include "platform/X11PasteHold.h"

#include "platform/X11Support.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QHash>
#include <QTimer>

#include <array>
#include <utility>
#include <vector>

namespace X11PasteHold {

namespace {
// The data is made on other threads, which cannot tell this one when they are done: while a
// request is held, a short timer looks again.
constexpr int LookAgainMs = 4;

class Hold : public QObject, public QAbstractNativeEventFilter
{
public:
    Hold(xcb_connection_t *c, xcb_atom_t clipboard, StillMaking stillMaking)
        : QObject(QCoreApplication::instance()), m_c(c), m_clipboard(clipboard), m_stillMaking(std::move(stillMaking))
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
        for (const xcb_selection_request_event_t &request : m_held) {
            xcb_selection_notify_event_t refusal{};
            refusal.response_type = XCB_SELECTION_NOTIFY;
            refusal.time = request.time;
            refusal.requestor = request.requestor;
            refusal.selection = request.selection;
            refusal.target = request.target;
            refusal.property = XCB_ATOM_NONE;
            Send(request.requestor, &refusal, sizeof refusal);
        }
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
        // One handed on by this filter (sent, not from the server itself) is ready.
        const bool handedOn = event->response_type & 0x80;
        QByteArray target;
        if (!handedOn) {
            target = Name(request->target);
            if (target == "TARGETS" || target == "TIMESTAMP")
                return false;
        }
        // Requests that come together are handled in one go: a second answer, which may be large,
        // waits for the event loop's next turn, the window's events running in between.
        if (m_servedThisTurn || (!handedOn && (!m_held.empty() || m_stillMaking(target)))) {
            m_held.insert(handedOn ? m_held.begin() : m_held.end(), *request);
            m_lookAgain.start();
            return true;
        }
        m_servedThisTurn = true;
        QTimer::singleShot(0, this, [this] { m_servedThisTurn = false; });
        return false;
    }

private:
    // A ready request goes back to Qt's own window through the server, behind whatever has come
    // since: Qt then handles it as if it had just come, with every check it makes of a request
    // (does it still own the clipboard, is the request older than its content) and without any
    // event loop running inside its clipboard code. One at a time, in the order they came.
    void HandOnReady()
    {
        if (!m_held.empty() && !m_servedThisTurn && !m_stillMaking(Name(m_held.front().target))) {
            Send(m_held.front().owner, &m_held.front(), sizeof m_held.front());
            xcb_flush(m_c);
            m_held.erase(m_held.begin());
        }
        if (m_held.empty())
            m_lookAgain.stop();
    }

    // Without an event mask an event goes to the client that made the window (Qt, for the owner).
    void Send(xcb_window_t window, const void *event, size_t size)
    {
        std::array<char, 32> bytes{};  // every event is sent as 32 bytes
        std::memcpy(bytes.data(), event, size);
        x11::Quietly(m_c, xcb_send_event_checked(m_c, 0, window, XCB_EVENT_MASK_NO_EVENT, bytes.data()));
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
    QTimer m_lookAgain;
    std::vector<xcb_selection_request_event_t> m_held;
    bool m_servedThisTurn = false;
    QHash<xcb_atom_t, QByteArray> m_names;
};
}

bool Install(StillMaking stillMaking)
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
    new Hold(c, clipboard->atom, std::move(stillMaking));
    return true;
}

}
