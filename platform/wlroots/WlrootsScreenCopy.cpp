// Copies of a wlroots compositor's outputs through our own Wayland connection.
#include "platform/wlroots/WlrootsScreenCopy.h"

#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <QTransform>

#include <wayland-client.h>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {
// A copy the compositor has not answered in this time is given up.
constexpr int CopyTimeoutMs = 5000;
// Buffers kept for reuse: the eyedropper's sample and a copy of each output, with room to spare.
constexpr size_t KeptBuffers = 6;

// The shared-memory formats we read: four bytes per pixel, red and blue either way round.
enum ShmFormat : quint32 {
    Argb8888 = WL_SHM_FORMAT_ARGB8888,
    Xrgb8888 = WL_SHM_FORMAT_XRGB8888,
    Abgr8888 = WL_SHM_FORMAT_ABGR8888,
    Xbgr8888 = WL_SHM_FORMAT_XBGR8888,
};
bool Readable(quint32 format)
{
    return format == Argb8888 || format == Xrgb8888 || format == Abgr8888 || format == Xbgr8888;
}

RuntimeError CopyError(ErrorKind kind)
{
    return RuntimeError(ErrorNumberOf(kind), ErrorDescription(kind));
}

struct OutputState
{
    WlrootsScreenCopy::Output shown;
    wl_output *output = nullptr;
    zxdg_output_v1 *xdg = nullptr;
    QPoint geometryPosition;  // the core protocol's position, where xdg-output is missing
    QSize mode;
    qint32 transform = WL_OUTPUT_TRANSFORM_NORMAL;  // how the output's pixels are turned in its buffer
    bool logicalKnown = false;

    ~OutputState()
    {
        if (xdg)
            zxdg_output_v1_destroy(xdg);
        if (output)
            wl_output_destroy(output);
    }
};
}

struct WlrootsScreenCopy::Binding
{
    wl_registry *registry = nullptr;
    wl_shm *shm = nullptr;
    zwlr_screencopy_manager_v1 *screencopy = nullptr;
    zxdg_output_manager_v1 *xdgOutputs = nullptr;
    std::vector<std::unique_ptr<OutputState>> outputs;

    ~Binding()
    {
        outputs.clear();
        if (xdgOutputs)
            zxdg_output_manager_v1_destroy(xdgOutputs);
        if (screencopy)
            zwlr_screencopy_manager_v1_destroy(screencopy);
        if (shm)
            wl_shm_destroy(shm);
        if (registry)
            wl_registry_destroy(registry);
    }
    void WatchLayout(OutputState &state);
};

namespace {
// A buffer's shared memory, mapped as long as the buffer or a copy's picture that lies in it lives.
struct Mapping
{
    Mapping(void *mapped, size_t bytes) : data(static_cast<uchar *>(mapped)), size(bytes) {}
    Mapping(const Mapping &) = delete;
    Mapping &operator=(const Mapping &) = delete;
    ~Mapping() { munmap(data, size); }
    uchar *const data;
    const size_t size;
};
}

struct WlrootsScreenCopy::Buffer
{
    wl_buffer *buffer = nullptr;
    std::shared_ptr<Mapping> mapping;
    quint32 format = 0;
    int width = 0, height = 0, stride = 0;
    bool busy = false;  // the compositor copies into it
    quint64 lastUse = 0;

    // A copy's picture that was handed over as it lay in the buffer is still in use.
    bool Lent() const { return mapping.use_count() > 1; }
    // The buffer's pixels as a picture of their own, without copying them: until the picture and
    // every copy of it are gone (on whatever thread), the buffer is not used again.
    QImage Lend()
    {
        auto *held = new std::shared_ptr<Mapping>(mapping);
        return QImage(mapping->data, width, height, stride, QImage::Format_RGB32,
                      [](void *info) { delete static_cast<std::shared_ptr<Mapping> *>(info); }, held);
    }

    ~Buffer()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
    }
};

struct WlrootsScreenCopy::Frame
{
    WlrootsScreenCopy *owner = nullptr;
    Job *job = nullptr;
    zwlr_screencopy_frame_v1 *frame = nullptr;
    QRect part;  // layout coordinates
    qint32 transform = WL_OUTPUT_TRANSFORM_NORMAL;
    QRect inOutput;  // of a turned output copied whole: the part in its pixels, the right way up
    quint32 format = 0;
    int width = 0, height = 0, stride = 0;
    bool offered = false;  // a shared-memory buffer of a format we read was offered
    bool yInverted = false;
    Buffer *buffer = nullptr;

    ~Frame()
    {
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
        if (buffer)
            buffer->busy = false;
    }
};

struct WlrootsScreenCopy::Job
{
    QRect rect;
    Pixels pixels = Pixels::Device;
    int scale = 1;
    QImage image;
    std::vector<std::unique_ptr<Frame>> frames;
    int waiting = 0;
    bool finished = false;
    std::optional<RuntimeError> error;
    // Only for a copy handed over later.
    bool later = false;
    QPointer<QObject> receiver;
    Done done;
};

namespace {
// Where the layout puts the output and at what size, from xdg-output; its scale from wl_output.
const wl_output_listener OutputEvents = {
    [](void *data, wl_output *, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char *, const char *, int32_t transform) {
        static_cast<OutputState *>(data)->geometryPosition = QPoint(x, y);
        static_cast<OutputState *>(data)->transform = transform;
    },
    [](void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t) {
        if (flags & WL_OUTPUT_MODE_CURRENT)
            static_cast<OutputState *>(data)->mode = QSize(width, height);
    },
    [](void *, wl_output *) {},
    [](void *data, wl_output *, int32_t factor) { static_cast<OutputState *>(data)->shown.scale = std::max(1, factor); },
    [](void *, wl_output *, const char *) {},
    [](void *, wl_output *, const char *) {},
};

const zxdg_output_v1_listener XdgOutputEvents = {
    [](void *data, zxdg_output_v1 *, int32_t x, int32_t y) {
        auto *state = static_cast<OutputState *>(data);
        state->shown.logical.moveTopLeft(QPoint(x, y));
        state->logicalKnown = true;
    },
    [](void *data, zxdg_output_v1 *, int32_t width, int32_t height) {
        static_cast<OutputState *>(data)->shown.logical.setSize(QSize(width, height));
    },
    [](void *, zxdg_output_v1 *) {},
    [](void *data, zxdg_output_v1 *, const char *name) { static_cast<OutputState *>(data)->shown.name = QString::fromUtf8(name); },
    [](void *, zxdg_output_v1 *, const char *) {},
};

template <typename T>
T *Bind(wl_registry *registry, uint32_t name, const wl_interface *interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T *>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void Global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    auto *binding = static_cast<WlrootsScreenCopy::Binding *>(data);
    if (!strcmp(interface, wl_shm_interface.name)) {
        binding->shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (!strcmp(interface, zwlr_screencopy_manager_v1_interface.name)) {
        binding->screencopy = Bind<zwlr_screencopy_manager_v1>(registry, name, &zwlr_screencopy_manager_v1_interface, version, 3);
    } else if (!strcmp(interface, zxdg_output_manager_v1_interface.name)) {
        binding->xdgOutputs = Bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 2);
        for (auto &state : binding->outputs)
            binding->WatchLayout(*state);
    } else if (!strcmp(interface, wl_output_interface.name)) {
        auto state = std::make_unique<OutputState>();
        state->shown.id = name;
        state->output = Bind<wl_output>(registry, name, &wl_output_interface, version, 2);
        wl_output_add_listener(state->output, &OutputEvents, state.get());
        binding->WatchLayout(*state);
        binding->outputs.push_back(std::move(state));
    }
}

void GlobalRemoved(void *data, wl_registry *, uint32_t name)
{
    auto &outputs = static_cast<WlrootsScreenCopy::Binding *>(data)->outputs;
    outputs.erase(std::remove_if(outputs.begin(), outputs.end(), [name](const auto &state) { return state->shown.id == name; }),
                  outputs.end());
}

const wl_registry_listener RegistryEvents = {Global, GlobalRemoved};
}

void WlrootsScreenCopy::Binding::WatchLayout(OutputState &state)
{
    if (!xdgOutputs || state.xdg)
        return;
    state.xdg = zxdg_output_manager_v1_get_xdg_output(xdgOutputs, state.output);
    zxdg_output_v1_add_listener(state.xdg, &XdgOutputEvents, &state);
}

std::unique_ptr<WlrootsScreenCopy> WlrootsScreenCopy::Connect()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<WlrootsScreenCopy> copier(new WlrootsScreenCopy(display));
    Binding &binding = *copier->m_binding;
    binding.registry = wl_display_get_registry(display);
    wl_registry_add_listener(binding.registry, &RegistryEvents, &binding);
    // The globals, then what the outputs and their layout say about themselves.
    if (wl_display_roundtrip(display) < 0 || !binding.shm || !binding.screencopy || wl_display_roundtrip(display) < 0)
        return nullptr;
    copier->m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(display), QSocketNotifier::Read);
    QObject::connect(copier->m_notifier.get(), &QSocketNotifier::activated, [raw = copier.get()] { raw->DispatchReady(); });
    return copier;
}

WlrootsScreenCopy::WlrootsScreenCopy(wl_display *display) : m_display(display), m_binding(std::make_unique<Binding>())
{
}

WlrootsScreenCopy::~WlrootsScreenCopy()
{
    m_notifier.reset();
    m_jobs.clear();
    m_buffers.clear();
    m_binding.reset();
    wl_display_disconnect(m_display);
}

namespace {
QRect LogicalRect(const OutputState &state)
{
    // Without xdg-output: the core protocol's position and the mode's size, turned with the output.
    const QSize mode = state.transform & 1 ? state.mode.transposed() : state.mode;
    return state.logicalKnown ? state.shown.logical : QRect(state.geometryPosition, mode / state.shown.scale);
}
QPoint OutputOrigin(const OutputState &state)
{
    return LogicalRect(state).topLeft();
}
}

QList<WlrootsScreenCopy::Output> WlrootsScreenCopy::Outputs() const
{
    QList<Output> outputs;
    for (const auto &state : m_binding->outputs) {
        Output output = state->shown;
        output.logical = LogicalRect(*state);
        if (!output.logical.isEmpty())
            outputs << output;
    }
    return outputs;
}

QRect WlrootsScreenCopy::Layout() const
{
    QRect layout;
    for (const Output &output : Outputs())
        layout |= output.logical;
    return layout;
}

namespace {
const zwlr_screencopy_frame_v1_listener FrameEvents = {
    // buffer: a shared-memory buffer the frame can be copied into
    [](void *data, zwlr_screencopy_frame_v1 *frame, uint32_t format, uint32_t width, uint32_t height, uint32_t stride) {
        auto *f = static_cast<WlrootsScreenCopy::Frame *>(data);
        if (!Readable(format) || f->offered)
            return;
        f->offered = true;
        f->format = format;
        f->width = int(width);
        f->height = int(height);
        f->stride = int(stride);
        // Before version 3 no list of buffer types follows: copy at once.
        if (zwlr_screencopy_frame_v1_get_version(frame) < 3)
            f->owner->CopyInto(*f);
    },
    [](void *data, zwlr_screencopy_frame_v1 *, uint32_t flags) {
        static_cast<WlrootsScreenCopy::Frame *>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
    },
    [](void *data, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {
        auto *f = static_cast<WlrootsScreenCopy::Frame *>(data);
        f->owner->FrameDone(*f, nullptr);
    },
    [](void *data, zwlr_screencopy_frame_v1 *) {
        auto *f = static_cast<WlrootsScreenCopy::Frame *>(data);
        const RuntimeError failed = CopyError(ErrorKind::CompositorCopyFailed);
        f->owner->FrameDone(*f, &failed);
    },
    [](void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {},
    // buffer_done: every buffer type has been offered
    [](void *data, zwlr_screencopy_frame_v1 *) {
        auto *f = static_cast<WlrootsScreenCopy::Frame *>(data);
        if (f->offered) {
            f->owner->CopyInto(*f);
        } else {
            const RuntimeError unreadable = CopyError(ErrorKind::CompositorCopyFailed);
            f->owner->FrameDone(*f, &unreadable);
        }
    },
};

// Nearest pixels: target column x reads source column x * sourceWidth / targetWidth, which at
// scale 2 read as one pixel per layout pixel is the device pixel at its top-left corner.
void Stretch(const uchar *source, int width, int height, int stride, bool yInverted, bool redBlueSwapped, QImage &target,
             const QRect &to)
{
    std::vector<int> columns(size_t(to.width()));
    for (int x = 0; x < to.width(); ++x)
        columns[size_t(x)] = int(qint64(x) * width / to.width());
    const bool same = width == to.width();
    for (int y = 0; y < to.height(); ++y) {
        int row = int(qint64(y) * height / to.height());
        if (yInverted)
            row = height - 1 - row;
        const auto *in = reinterpret_cast<const quint32 *>(source + qint64(row) * stride);
        auto *out = reinterpret_cast<quint32 *>(target.scanLine(to.top() + y)) + to.left();
        if (same && !redBlueSwapped) {
            memcpy(out, in, size_t(width) * 4);
        } else {
            for (int x = 0; x < to.width(); ++x)
                out[x] = in[columns[size_t(x)]];
            if (redBlueSwapped)
                for (int x = 0; x < to.width(); ++x)
                    out[x] = (out[x] & 0xff00ff00) | ((out[x] >> 16) & 0xff) | ((out[x] & 0xff) << 16);
        }
    }
}

// From a turned output's buffer to the output the right way up: mirrored, then turned by quarters.
QTransform TurnedBack(QSize buffer, qint32 transform, bool yInverted)
{
    const bool flipX = transform & WL_OUTPUT_TRANSFORM_FLIPPED;
    const QTransform mirror(flipX ? -1 : 1, 0, 0, yInverted ? -1 : 1, flipX ? buffer.width() : 0, yInverted ? buffer.height() : 0);
    const int quarters = flipX ? -(transform & 3) : transform & 3;
    return mirror * QImage::trueMatrix(QTransform().rotate(90.0 * quarters), buffer.width(), buffer.height());
}
}

// A rotated or flipped output's buffer holds its pixels turned as the screen shows them: the part
// asked for, turned back the right way up.
QImage WlrootsScreenCopy::Upright(const Frame &frame)
{
    const QImage buffer(frame.buffer->mapping->data, frame.width, frame.height, frame.stride, QImage::Format_RGB32);
    const QTransform back = TurnedBack(buffer.size(), frame.transform, frame.yInverted);
    const QRect inBuffer = back.inverted().mapRect(QRectF(frame.inOutput)).toAlignedRect() & buffer.rect();
    const QImage part = buffer.copy(inBuffer);
    return part.transformed(TurnedBack(part.size(), frame.transform, frame.yInverted));
}

WlrootsScreenCopy::Buffer *WlrootsScreenCopy::FreeBuffer(quint32 format, int width, int height, int stride)
{
    static quint64 uses = 0;
    for (const auto &buffer : m_buffers)
        if (!buffer->busy && !buffer->Lent() && buffer->format == format && buffer->width == width && buffer->height == height
            && buffer->stride == stride) {
            buffer->lastUse = ++uses;
            return buffer.get();
        }
    // Room for a new one: the buffer unused longest goes.
    if (m_buffers.size() >= KeptBuffers) {
        auto oldest = m_buffers.end();
        for (auto it = m_buffers.begin(); it != m_buffers.end(); ++it)
            if (!(*it)->busy && (oldest == m_buffers.end() || (*it)->lastUse < (*oldest)->lastUse))
                oldest = it;
        if (oldest != m_buffers.end())
            m_buffers.erase(oldest);
    }
    auto buffer = std::make_unique<Buffer>();
    const size_t size = size_t(stride) * size_t(height);
    const int fd = memfd_create("pixolva-screen-copy", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void *data = ftruncate(fd, off_t(size)) == 0 ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (data == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    buffer->mapping = std::make_shared<Mapping>(data, size);
    wl_shm_pool *pool = wl_shm_create_pool(m_binding->shm, fd, int(size));
    buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
    wl_shm_pool_destroy(pool);
    close(fd);
    buffer->format = format;
    buffer->width = width;
    buffer->height = height;
    buffer->stride = stride;
    buffer->lastUse = ++uses;
    m_buffers.push_back(std::move(buffer));
    return m_buffers.back().get();
}

void WlrootsScreenCopy::CopyInto(Frame &frame)
{
    if (frame.buffer)
        return;
    frame.buffer = FreeBuffer(frame.format, frame.width, frame.height, frame.stride);
    if (!frame.buffer) {
        const RuntimeError noMemory = CopyError(ErrorKind::CompositorCopyFailed);
        FrameDone(frame, &noMemory);
        return;
    }
    frame.buffer->busy = true;
    zwlr_screencopy_frame_v1_copy(frame.frame, frame.buffer->buffer);
}

std::shared_ptr<WlrootsScreenCopy::Job> WlrootsScreenCopy::Start(const QRect &r, Pixels pixels)
{
    auto job = std::make_shared<Job>();
    job->rect = r;
    job->pixels = pixels;
    if (m_broken) {
        job->error = CopyError(ErrorKind::CompositorGone);
        job->finished = true;
        return job;
    }
    QList<std::pair<OutputState *, QRect>> parts;
    const QList<Output> outputs = Outputs();
    for (const auto &state : m_binding->outputs) {
        const auto output = std::find_if(outputs.begin(), outputs.end(), [&state](const Output &o) { return o.id == state->shown.id; });
        if (output == outputs.end())
            continue;
        if (const QRect part = output->logical & r; !part.isEmpty()) {
            parts.append({state.get(), part});
            if (pixels == Pixels::Device)
                job->scale = std::max(job->scale, output->scale);
        }
    }
    // One output's part that is the whole copy may come as it lies in the buffer: the picture is
    // made once it is known to be needed.
    if (parts.size() != 1 || parts.front().second != r) {
        job->image = QImage(r.size() * job->scale, QImage::Format_RGB32);
        if (job->image.isNull()) {
            job->error = CopyError(ErrorKind::CompositorCopyFailed);
            job->finished = true;
            return job;
        }
        // Black where no output is.
        qint64 covered = 0;
        for (const auto &[state, part] : parts)
            covered += qint64(part.width()) * part.height();
        if (covered < qint64(r.width()) * r.height())
            job->image.fill(Qt::black);
    }
    for (const auto &[state, part] : parts) {
        auto frame = std::make_unique<Frame>();
        frame->owner = this;
        frame->job = job.get();
        frame->part = part;
        frame->transform = state->transform;
        const QRect local = part.translated(-OutputOrigin(*state));
        // Where the output is turned, compositors do not agree where a region lies in its buffer
        // (wlroots 0.15 turns it the wrong way): the whole output then, and the part cut here.
        if (state->transform == WL_OUTPUT_TRANSFORM_NORMAL) {
            frame->frame = zwlr_screencopy_manager_v1_capture_output_region(m_binding->screencopy, 0, state->output, local.x(),
                                                                           local.y(), local.width(), local.height());
        } else {
            frame->frame = zwlr_screencopy_manager_v1_capture_output(m_binding->screencopy, 0, state->output);
            frame->inOutput = QRect(local.topLeft() * state->shown.scale, local.size() * state->shown.scale);
        }
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &FrameEvents, frame.get());
        job->frames.push_back(std::move(frame));
    }
    job->waiting = int(job->frames.size());
    job->finished = job->waiting == 0;
    wl_display_flush(m_display);
    return job;
}

void WlrootsScreenCopy::FrameDone(Frame &frame, const RuntimeError *error)
{
    Job &job = *frame.job;
    if (job.finished)
        return;
    if (error) {
        job.error = *error;
    } else if (frame.buffer) {
        const QRect to((frame.part.topLeft() - job.rect.topLeft()) * job.scale, frame.part.size() * job.scale);
        const bool swapped = frame.format == Abgr8888 || frame.format == Xbgr8888;
        const bool asItLies = frame.transform == WL_OUTPUT_TRANSFORM_NORMAL && !frame.yInverted && !swapped
                              && QSize(frame.width, frame.height) == to.size();
        if (job.image.isNull() && asItLies) {
            job.image = frame.buffer->Lend();
        } else {
            if (job.image.isNull())
                job.image = QImage(job.rect.size() * job.scale, QImage::Format_RGB32);
            if (job.image.isNull()) {
                job.error = CopyError(ErrorKind::CompositorCopyFailed);
            } else if (frame.transform == WL_OUTPUT_TRANSFORM_NORMAL) {
                Stretch(frame.buffer->mapping->data, frame.width, frame.height, frame.stride, frame.yInverted, swapped, job.image, to);
            } else {
                const QImage upright = Upright(frame);
                Stretch(upright.constBits(), upright.width(), upright.height(), int(upright.bytesPerLine()), false,
                        swapped, job.image, to);
            }
        }
    }
    // The frame object is spent; its buffer is free for the next copy.
    zwlr_screencopy_frame_v1_destroy(frame.frame);
    frame.frame = nullptr;
    if (frame.buffer)
        frame.buffer->busy = false;
    frame.buffer = nullptr;
    if (--job.waiting == 0 || job.error)
        Finish(job);
}

void WlrootsScreenCopy::Finish(Job &job)
{
    job.finished = true;
    job.frames.clear();
    if (job.error)
        job.image = QImage();
    if (!job.later)
        return;
    // Handed over from the event loop, once whatever dispatched this has returned.
    auto it = std::find_if(m_jobs.begin(), m_jobs.end(), [&job](const auto &held) { return held.get() == &job; });
    if (it == m_jobs.end())
        return;
    std::shared_ptr<Job> held = *it;
    m_jobs.erase(it);
    if (!held->receiver)
        return;
    QTimer::singleShot(0, held->receiver.data(), [held] {
        const RuntimeError *error = held->error ? &*held->error : nullptr;
        held->done(held->image, error);
    });
}

QImage WlrootsScreenCopy::Copy(const QRect &r, Pixels pixels)
{
    std::shared_ptr<Job> job = Start(r, pixels);
    const QDeadlineTimer deadline(CopyTimeoutMs);
    while (!job->finished) {
        if (!Dispatch(int(deadline.remainingTime()))) {
            Fail(CopyError(ErrorKind::CompositorGone));
            FailJob(*job, CopyError(ErrorKind::CompositorGone));
        } else if (deadline.hasExpired() && !job->finished) {
            FailJob(*job, CopyError(ErrorKind::ScreenCopyNoAnswer));
        }
    }
    if (job->error)
        throw *job->error;
    return job->image;
}

void WlrootsScreenCopy::CopyLater(const QRect &r, Pixels pixels, QObject *receiver, Done done)
{
    std::shared_ptr<Job> job = Start(r, pixels);
    job->later = true;
    job->receiver = receiver;
    job->done = std::move(done);
    m_jobs.push_back(job);
    if (job->finished) {
        Finish(*job);
        return;
    }
    // A compositor that never answers does not leave the caller waiting for ever.
    QTimer::singleShot(CopyTimeoutMs, receiver, [this, weak = std::weak_ptr<Job>(job)] {
        if (const std::shared_ptr<Job> late = weak.lock(); late && !late->finished)
            FailJob(*late, CopyError(ErrorKind::ScreenCopyNoAnswer));
    });
}

bool WlrootsScreenCopy::Dispatch(int timeoutMs)
{
    while (wl_display_prepare_read(m_display) != 0)
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(m_display);
        return false;
    }
    pollfd ready{wl_display_get_fd(m_display), POLLIN, 0};
    if (poll(&ready, 1, std::max(0, timeoutMs)) <= 0) {
        wl_display_cancel_read(m_display);
        return true;
    }
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0)
        return false;
    // What the events asked for (a frame's copy into its buffer) goes out now, not with the next copy.
    return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
}

void WlrootsScreenCopy::DispatchReady()
{
    if (!Dispatch(0))
        Fail(CopyError(ErrorKind::CompositorGone));
}

void WlrootsScreenCopy::FailJob(Job &job, const RuntimeError &error)
{
    if (job.finished)
        return;
    job.error = error;
    Finish(job);
}

void WlrootsScreenCopy::Fail(const RuntimeError &error)
{
    // The connection is broken: nothing will come any more.
    m_notifier->setEnabled(false);
    for (const std::shared_ptr<Job> &job : std::vector<std::shared_ptr<Job>>(m_jobs))
        FailJob(*job, error);
    m_broken = true;
}
