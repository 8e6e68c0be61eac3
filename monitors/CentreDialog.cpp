// Our dialogs open centred over their owner, as the file dialogs do.
#include "monitors/CentreDialog.h"

#include "monitors/mdlWindow.h"

#include <QScreen>
#include <QWidget>

void CentreDialogOverOwner(QWidget *dialog, QWidget *owner)
{
    if (!dialog || !owner)
        return;
    owner = owner->window();
    // Client area over client area: both windows wear the same frame, so the frames line up too
    // (Qt maps a window that is moved before it is shown with its client area there). The frame,
    // which the owner's stands in for, stays inside the work area.
    const QRect client = owner->geometry();
    const QRect outer = owner->frameGeometry();
    const QMargins frame(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                         outer.bottom() - client.bottom());
    const QRect work = (owner->screen() ? owner->screen()->availableGeometry() : outer).marginsRemoved(frame);
    dialog->move(mdlWindow::CentredOver(dialog->size(), ScreenRect::FromQRect(client), ScreenRect::FromQRect(work),
                                        mdlWindow::NoMinimumOffset));
}
