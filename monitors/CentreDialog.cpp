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
    // The dialog has no frame yet; the owner's, from the same window manager, stands in for it.
    const QRect outer = owner->frameGeometry();
    const QSize dialogOuter = dialog->size() + (outer.size() - owner->size());
    const QRect work = owner->screen() ? owner->screen()->availableGeometry() : outer;
    dialog->move(mdlWindow::CentredOver(dialogOuter, ScreenRect::FromQRect(outer), ScreenRect::FromQRect(work),
                                        mdlWindow::NoMinimumOffset));
}
