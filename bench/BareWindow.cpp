// The start-up floor: the smallest Qt Widgets program that maps a window of the main window's size.
// With --text the window holds one text field, so the floor includes what the first text of a
// window costs (the font configuration, the font database, shaping).
#include "base/Twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    // The main window's client area, 4680 x 3855 twips.
    window.setFixedSize(TwipsToPixels(4680), TwipsToPixels(3855));
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLineEdit(QStringLiteral("0"), &window);
    window.show();
    return app.exec();
}
