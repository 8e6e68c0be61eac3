// One sample of the eyedropper: the screen round the pointer, enlarged eightfold with a red cross,
// and its centre colour in the five colour fields.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QtGlobal>

#include <functional>
#include <vector>

class ColourFields;
class RuntimeError;

class ColourPicker
{
public:
    explicit ColourPicker(ColourFields &fields);

    // Called once a tick's sample is shown; error is the failed copy's error, else null.
    using Shown = std::function<void(const RuntimeError *error)>;

    // One tick: asks the platform for the screen round the pointer. Once the copy is there (at
    // once where the platform copies at once) paints it eightfold into zoom (its size is the zoom
    // view's inner size), reads the centre colour, draws the cross, writes the colour into the
    // fields and calls shown. One copy at a time: while the last tick's copy is still under way
    // the tick asks for nothing and returns false.
    bool Tick(QPoint pointer, QImage &zoom, Shown shown);
    bool Waiting() const { return m_waiting; }

    // The copied rectangle of the last sample shown, as the zoom view's background picture.
    const QImage &Picture() const { return m_picture; }

private:
    void Show(const QImage &copy, QImage &zoom);

    ColourFields &m_fields;
    QImage m_picture;
    std::vector<int> m_columns;
    bool m_waiting = false;
    QObject m_receiver;  // a copy that arrives after the picker is gone is dropped
};
