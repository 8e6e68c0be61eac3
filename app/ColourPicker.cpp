// One sample of the eyedropper.
#include "app/ColourPicker.h"

#include "app/ColourFields.h"
#include "app/ZoomView.h"
#include "platform/Platform.h"

ColourPicker::ColourPicker(ColourFields &fields) : m_fields(fields)
{
}

bool ColourPicker::Tick(QPoint pointer, QImage &zoom, Shown shown)
{
    if (m_waiting)
        return false;
    m_waiting = true;
    const QRect source = ZoomView::SourceRect(zoom.size(), pointer);
    CurrentPlatform().RequestScreenCopy(source, &m_receiver,
                                        [this, &zoom, shown = std::move(shown)](const QImage &copy, const RuntimeError *error) {
                                            m_waiting = false;
                                            Show(copy, zoom);
                                            if (shown)
                                                shown(error);
                                        });
    return true;
}

void ColourPicker::Show(const QImage &copy, QImage &zoom)
{
    // The new copy replaces (and frees) the previous one.
    m_picture = copy;
    ZoomView::StretchNearest(m_picture, zoom, m_columns);
    qint32 colour = 0;
    const QPoint centre = ZoomView::CentrePixel(zoom.size());
    // The centre is read before the cross is drawn, so the cross never colours the sample.
    if (zoom.rect().contains(centre))
        colour = ColourValue(zoom.pixel(centre));
    ZoomView::DrawCross(zoom);
    m_fields.ShowColour(colour);
}
