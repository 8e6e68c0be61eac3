// One sample of the eyedropper: the screen round the pointer, enlarged eightfold with a red cross,
// and its centre colour in the five colour fields.
#pragma once

#include <QImage>
#include <QPoint>
#include <QtGlobal>

#include <vector>

class ColourFields;

class ColourPicker
{
public:
    explicit ColourPicker(ColourFields &fields);

    // One tick: copies the screen round the pointer, paints it eightfold into zoom (its size is
    // the zoom view's inner size), reads the centre colour, draws the cross and writes the colour
    // into the fields. Returns the colour.
    qint32 Tick(QPoint pointer, QImage &zoom);

    // The copied rectangle of the last tick, as the zoom view's background picture.
    const QImage &Picture() const { return m_picture; }

private:
    ColourFields &m_fields;
    QImage m_picture;
    std::vector<int> m_columns;
};
