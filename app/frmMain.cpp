// The main window: colour picker, colour fields, screenshot commands.
#include "app/frmMain.h"

#include "app/Version.h"

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Version::MainCaption());
}
