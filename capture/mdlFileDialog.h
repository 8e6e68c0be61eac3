// Save and open dialogs: file types, initial folder, default extension, centred over the owner.
#pragma once

#include "base/LocalText.h"
#include "capture/FileDialogSetup.h"

#include <QList>

class QWidget;

namespace mdlFileDialog {

// The texts of the dialog's file list, for the language file to hold them all.
QList<LocalText> Texts();

// The chosen path, or an empty text when the user cancels. Flags 0 become DefaultSaveFlags in the
// caller's variable. After a confirmed choice flags and filterIndex (1-based) hold what the
// dialog returned; after a cancel they are left as they were.
QString ShowSaveDialog(qint32 &flags, const QString &initialDir, const QString &filter, qint32 &filterIndex,
                       const QString &defaultExt, const QString &fileName, const QString &title, QWidget *owner);

// The whole file buffer after a confirmed choice (see ResultBuffer), or an empty text.
// An empty filter shows all files; an empty title the dialog's standard title.
QString RunFileDialog(bool openFile, qint32 &flags, const QString &initialDir, const QString &filter,
                      qint32 &filterIndex, const QString &defaultExt, const QString &fileName,
                      const QString &title, QWidget *owner);

}
