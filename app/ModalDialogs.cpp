// Modal dialogs stay on the screen while they wait for an answer.
#include "app/ModalDialogs.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

bool ModalDialogsStayShown::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal() && window->isMinimized()) {
            // Once the window manager has finished minimising: asked at once, it is overtaken.
            QTimer::singleShot(0, window, [dialog = QPointer<QWidget>(window)] {
                if (!dialog || !dialog->isMinimized())
                    return;
                dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
                dialog->show();
                dialog->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
