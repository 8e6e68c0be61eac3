// A virtual pointer on a wlroots compositor.
#include "support/VirtualPointer.h"

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstring>
#include <ctime>

namespace {
constexpr uint32_t LeftButton = 0x110;  // BTN_LEFT
// Fine steps, so that a fraction of a pixel can be reached.
constexpr uint32_t StepsPerPixel = 256;

// Event times in milliseconds of the monotonic clock, as a real device gives them: clients tell a
// double click by them.
uint32_t Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}
}

struct VirtualPointer::Connection
{
    wl_display *display = nullptr;
    zwlr_virtual_pointer_manager_v1 *manager = nullptr;
    zwlr_virtual_pointer_v1 *pointer = nullptr;

    ~Connection()
    {
        if (pointer)
            zwlr_virtual_pointer_v1_destroy(pointer);
        if (manager)
            zwlr_virtual_pointer_manager_v1_destroy(manager);
        if (display)
            wl_display_disconnect(display);
    }
};

std::unique_ptr<VirtualPointer> VirtualPointer::Create()
{
    auto connection = std::make_unique<Connection>();
    connection->display = wl_display_connect(nullptr);
    if (!connection->display)
        return nullptr;
    static const wl_registry_listener registryEvents = {
        [](void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t) {
            if (!strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
                static_cast<Connection *>(data)->manager = static_cast<zwlr_virtual_pointer_manager_v1 *>(
                    wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
        },
        [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry *registry = wl_display_get_registry(connection->display);
    wl_registry_add_listener(registry, &registryEvents, connection.get());
    wl_display_roundtrip(connection->display);
    wl_registry_destroy(registry);
    if (!connection->manager)
        return nullptr;
    connection->pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(connection->manager, nullptr);
    wl_display_roundtrip(connection->display);
    return std::unique_ptr<VirtualPointer>(new VirtualPointer(std::move(connection)));
}

VirtualPointer::VirtualPointer(std::unique_ptr<Connection> connection) : m_connection(std::move(connection))
{
}

VirtualPointer::~VirtualPointer() = default;

void VirtualPointer::MoveTo(QPointF p, const QRect &layout)
{
    const QPointF at = (p - layout.topLeft()) * StepsPerPixel;
    zwlr_virtual_pointer_v1_motion_absolute(m_connection->pointer, Now(), uint32_t(at.x()), uint32_t(at.y()),
                                            uint32_t(layout.width()) * StepsPerPixel, uint32_t(layout.height()) * StepsPerPixel);
    Send();
}

void VirtualPointer::Button(bool pressed)
{
    zwlr_virtual_pointer_v1_button(m_connection->pointer, Now(), LeftButton, pressed ? 1 : 0);
    Send();
}

void VirtualPointer::Send()
{
    zwlr_virtual_pointer_v1_frame(m_connection->pointer);
    wl_display_roundtrip(m_connection->display);
}
