// Product name and version texts as the windows show them.
#pragma once

#include <QString>

namespace Version {
QString ProductName();
QString FileDescription();
QString LegalNotice();

// Major "." minor revision, one dot only: 1, 0, 1 gives "1.01", 2, 3, 14 gives "2.314".
QString VersionText(int major, int minor, int revision);
QString VersionText();

// The main window's caption: product name, " v", version text.
QString MainCaption(const QString &productName, int major, int minor, int revision);
QString MainCaption();
}
