// The main window with its eyedropper held, for benchmarks of the tick on Wayland desktops: the
// timer is stopped and each tick started by the benchmark, timed from the request to the zoom
// view painted with the sample.
#pragma once

#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

class HeldEyedropper : public QObject
{
public:
    HeldEyedropper()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_window.show();
        for (QElapsedTimer settle; !settle.isValid() || settle.elapsed() < 500;) {
            if (!settle.isValid())
                settle.start();
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        m_picCursor = m_window.findChild<QWidget *>(QStringLiteral("picCursor"));
        m_timer = m_window.findChild<QTimer *>(QStringLiteral("Timer1"));
        Send(QEvent::MouseButtonPress, Qt::LeftButton);
        m_timer->stop();
        m_window.findChild<QWidget *>(QStringLiteral("picZoom"))->installEventFilter(this);
    }
    ~HeldEyedropper() override { Send(QEvent::MouseButtonRelease, Qt::NoButton); }

    // The timer's interval between two ticks, in milliseconds.
    int Interval() const { return m_timer->interval(); }

    // Milliseconds of one tick; two seconds at the most, without spinning.
    double Tick()
    {
        QElapsedTimer clock;
        clock.start();
        QMetaObject::invokeMethod(m_timer, "timeout", Qt::DirectConnection);
        QTimer::singleShot(2000, &m_painted, &QEventLoop::quit);
        m_painted.exec();
        return double(clock.nsecsElapsed()) / 1e6;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted.quit();
        return false;
    }

private:
    void Send(QEvent::Type type, Qt::MouseButtons buttons)
    {
        const QPointF local(m_picCursor->width() / 2.0, m_picCursor->height() / 2.0);
        QMouseEvent event(type, local, m_picCursor->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(m_picCursor, &event);
    }

    QTemporaryDir m_dir;
    frmMain m_window;
    QWidget *m_picCursor = nullptr;
    QTimer *m_timer = nullptr;
    QEventLoop m_painted;
};
