// sway's real pointer, moved by tests through a virtual pointer device (XTEST moves only the X
// pointer under Xwayland, which sway never sees).
#pragma once

#include <QPointF>
#include <QRect>

#include <memory>

class VirtualPointer
{
public:
    // nullptr where the compositor offers no virtual pointers.
    static std::unique_ptr<VirtualPointer> Create();
    ~VirtualPointer();

    // To p in layout coordinates, within layout (the bounding rectangle of every output);
    // fractions land between pixels.
    void MoveTo(QPointF p, const QRect &layout);
    void Button(bool pressed);  // the left button

private:
    struct Connection;
    explicit VirtualPointer(std::unique_ptr<Connection> connection);
    void Send();

    std::unique_ptr<Connection> m_connection;
};
