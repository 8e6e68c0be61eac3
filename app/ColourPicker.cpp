// One sample of the eyedropper.
#include "app/ColourPicker.h"

#include "app/ColourFields.h"
#include "app/ZoomView.h"
#include "capture/mdlCapture.h"

ColourPicker::ColourPicker(ColourFields &fields) : m_fields(fields)
{
}

qint32 ColourPicker::Tick(QPoint pointer, QImage &zoom)
{
    const QRect source = ZoomView::SourceRect(zoom.size(), pointer);
    // The new copy replaces (and frees) the previous one.
    m_picture = mdlCapture::GrabWindowArea(0, true, source.x(), source.y(), source.width(), source.height());
    ZoomView::StretchNearest(m_picture, zoom, m_columns);
    qint32 colour = 0;
    const QPoint centre = ZoomView::CentrePixel(zoom.size());
    // The centre is read before the cross is drawn, so the cross never colours the sample.
    if (zoom.rect().contains(centre))
        colour = ColourValue(zoom.pixel(centre));
    ZoomView::DrawCross(zoom);
    m_fields.ShowColour(colour);
    return colour;
}
