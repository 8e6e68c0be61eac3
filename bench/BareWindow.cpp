// The start-up floor: the smallest Qt Widgets program that maps a window of the main window's size.
#include "base/Twips.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    // The main window's client area, 4680 x 3855 twips.
    window.setFixedSize(TwipsToPixels(4680), TwipsToPixels(3855));
    window.show();
    return app.exec();
}
