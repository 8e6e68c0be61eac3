// Our dialogs open centred over their owner, as the file dialogs do (mdlWindow::CentredOver).
#pragma once

class QWidget;

// Places the dialog, before it is shown, centred over the owner's window and inside the work area
// of the owner's screen.
void CentreDialogOverOwner(QWidget *dialog, QWidget *owner);
