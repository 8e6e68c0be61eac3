// A picture box: a background colour and picture, plus a drawing surface for stretched
// pictures. What it shows is what was drawn; painting only copies that to the screen.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

#include <functional>

class PictureBox : public QFrame
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr, bool bordered = true);

    // Inner drawing area in pixels (inside the border).
    int ScaleWidth() const { return contentsRect().width(); }
    int ScaleHeight() const { return contentsRect().height(); }

    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor &colour);

    // The background picture, shown unscaled at the top-left corner; a null image removes it.
    QImage Picture() const { return m_picture; }
    void SetPicture(const QImage &picture);

    // A background picture drawn for the screen's device pixel ratio, sharp at every scale: draw
    // gives it at a ratio (its own device pixel ratio set), and is asked again when the ratio
    // changes.
    void SetScalablePicture(std::function<QImage(qreal ratio)> draw);

    // Paints a picture stretched into a rectangle of the drawing area. Nearest-neighbour unless
    // smooth is asked for, so an enlargement shows hard pixel blocks.
    void PaintPicture(const QImage &picture, const QRectF &target, bool smooth = false);

    // What the box shows inside its border.
    const QImage &Canvas() const { return m_canvas; }
    // The same for drawing straight onto, by a caller that paints all of it at once; update()
    // shows the result.
    QImage &Surface() { return m_canvas; }
    // Makes picture the background picture without drawing it, for a caller that paints over the
    // whole surface right after.
    void HoldPicture(const QImage &picture) { m_picture = picture; }

    // A drag handle that the keyboard works too: a focus frame shows while it has the focus, and
    // the keys that work it (Space, Enter, Esc) go no further than the box.
    void SetKeyboardHandle(bool handle) { m_handle = handle; }
    bool IsKeyboardHandle() const { return m_handle; }

Q_SIGNALS:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // A key pressed while the box has the focus; held keys repeating are not reported again.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Redraw();
    void Render();
    qreal CanvasRatio() const;

    QColor m_backColor = Qt::white;
    QImage m_picture;
    QImage m_canvas;
    std::function<QImage(qreal)> m_drawPicture;
    bool m_handle = false;
};
