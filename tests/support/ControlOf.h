// A control of a window by its name, for tests that drive the real windows.
#pragma once

#include <QWidget>
#include <QtGlobal>

template <typename T>
T *ControlOf(const QObject *window, const char *name)
{
    auto *control = window->findChild<T *>(QLatin1String(name));
    if (!control)
        qFatal("no control %s", name);
    return control;
}
