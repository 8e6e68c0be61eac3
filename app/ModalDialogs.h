// Modal dialogs stay on the screen while they wait for an answer.
#pragma once

#include <QObject>

// Some window managers (openbox) offer minimise on every window, whatever its hints allow, and
// minimise a modal dialog together with the window that owns it: nothing is left on the screen,
// and without a task bar there is no way back. Installed on the application, this filter brings
// a minimised modal dialog straight back, and its owner with it.
class ModalDialogsStayShown : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
