// Our own connection to a wlroots compositor (sway, Hyprland, labwc, river, Wayfire), beside Qt's:
// its outputs and their layout, and copies of them through the screencopy protocol into
// shared-memory buffers that are reused from copy to copy. A copy that one buffer holds as it is
// wanted is handed over as it lies there, and its buffer is not reused while the copy lives.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;
class RuntimeError;
struct wl_display;
struct wl_registry;
struct wl_shm;
struct zwlr_screencopy_manager_v1;
struct zxdg_output_manager_v1;

class WlrootsScreenCopy
{
public:
    // An output in the compositor's layout coordinates (logical pixels), and its scale.
    struct Output
    {
        quint32 id = 0;
        QString name;
        QRect logical;
        qint32 scale = 1;
    };

    // How the copy's pixels relate to the rectangle asked for.
    enum class Pixels {
        Device,  // the desktop's own pixels: at scale 2 twice as many as the rectangle
        Logical, // exactly one pixel per layout pixel: the device pixel at its top-left corner
    };
    using Done = std::function<void(const QImage &copy, const RuntimeError *error)>;

    // nullptr where WAYLAND_DISPLAY names no compositor or the compositor offers no screencopy.
    static std::unique_ptr<WlrootsScreenCopy> Connect();
    ~WlrootsScreenCopy();

    QList<Output> Outputs() const;
    // The bounding rectangle of every output.
    QRect Layout() const;

    // A copy of r (layout coordinates) as the outputs show it, the pointer left out where the
    // compositor lets us; black where no output is. Raises a run-time error when the compositor
    // fails the copy or goes away.
    QImage Copy(const QRect &r, Pixels pixels);
    // The same, handed to done from the event loop once it is there (never before this returns),
    // unless receiver is destroyed first.
    void CopyLater(const QRect &r, Pixels pixels, QObject *receiver, Done done);

    // For the protocol's event handlers.
    struct Binding;
    struct Frame;
    void CopyInto(Frame &frame);                             // the frame's buffer is known: copy
    void FrameDone(Frame &frame, const RuntimeError *error);  // copied, or failed

private:
    struct Buffer;
    struct Job;

    explicit WlrootsScreenCopy(wl_display *display);
    std::shared_ptr<Job> Start(const QRect &r, Pixels pixels);
    void Finish(Job &job);
    void FailJob(Job &job, const RuntimeError &error);
    // The connection is broken: every copy under way fails with error.
    void Fail(const RuntimeError &error);
    Buffer *FreeBuffer(quint32 format, int width, int height, int stride);
    static QImage Upright(const Frame &frame);
    // Reads and dispatches what the compositor sent, waiting at most timeoutMs; false when the
    // connection is broken.
    bool Dispatch(int timeoutMs);
    void DispatchReady();

    wl_display *m_display;
    bool m_broken = false;
    std::unique_ptr<Binding> m_binding;
    std::vector<std::unique_ptr<Buffer>> m_buffers;
    std::vector<std::shared_ptr<Job>> m_jobs;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
