// Pixolva: colour picker and screenshot tool.
#include "app/MessageBoxes.h"
#include "app/RuntimeError.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetErrorReporter([](const RuntimeError &error) {
        MessageBoxes::ShowStandardError(QApplication::activeWindow(), error);
    });
    frmMain window;
    window.show();
    return app.exec();
}
