// A picture box: a background colour and picture, plus a drawing surface for stretched
// pictures. What it shows is what was drawn; painting only copies that to the screen.
#include "app/PictureBox.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
// To a screen reader a box is a picture, and a handle a button it can press.
QAccessibleInterface *AccessiblePictureBox(const QString &className, QObject *object)
{
    auto *box = className == QLatin1String("PictureBox") ? qobject_cast<PictureBox *>(object) : nullptr;
    if (!box)
        return nullptr;
    return new QAccessibleWidget(box, box->IsKeyboardHandle() ? QAccessible::Button : QAccessible::Graphic);
}
}

PictureBox::PictureBox(QWidget *parent, bool bordered) : QFrame(parent)
{
    static const bool accessible = (QAccessible::installFactory(&AccessiblePictureBox), true);
    Q_UNUSED(accessible);
    if (bordered) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetBackColor(const QColor &colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    Redraw();
}

void PictureBox::SetPicture(const QImage &picture)
{
    m_picture = picture;
    Redraw();
}

void PictureBox::SetScalablePicture(std::function<QImage(qreal)> draw)
{
    m_drawPicture = std::move(draw);
    Redraw();
}

qreal PictureBox::CanvasRatio() const
{
    // The drawing surface of a box that others paint on stays in plain pixels.
    return m_drawPicture ? devicePixelRatioF() : 1.0;
}

void PictureBox::Redraw()
{
    Render();
    update();
}

void PictureBox::Render()
{
    const qreal ratio = CanvasRatio();
    const QSize size = contentsRect().size().expandedTo(QSize(0, 0)) * ratio;
    if (m_canvas.size() != size || m_canvas.devicePixelRatio() != ratio) {
        m_canvas = QImage(size, QImage::Format_RGB32);
        m_canvas.setDevicePixelRatio(ratio);
    }
    if (m_canvas.isNull())
        return;
    if (m_drawPicture)
        m_picture = m_drawPicture(ratio);
    m_canvas.fill(m_backColor);
    if (!m_picture.isNull()) {
        QPainter painter(&m_canvas);
        painter.drawImage(0, 0, m_picture);
    }
}

void PictureBox::PaintPicture(const QImage &picture, const QRectF &target, bool smooth)
{
    if (picture.isNull() || m_canvas.isNull())
        return;
    QPainter painter(&m_canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(target, picture);
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    // Moved to a screen of another scale: drawn anew for it.
    if (m_canvas.devicePixelRatio() != CanvasRatio())
        Render();
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_canvas);
    if (m_handle && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = m_backColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Redraw();
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT MouseDown(event->button(), event->modifiers());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT MouseUp(event->button(), event->modifiers());
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        Q_EMIT KeyDown(event->key(), event->modifiers());
    // A handle's keys stop here: passed on to the window, they would reach the drag they start.
    const int key = event->key();
    if (m_handle && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape))
        event->accept();
    else
        QFrame::keyPressEvent(event);
}
