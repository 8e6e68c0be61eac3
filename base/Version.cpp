// Product name and version texts as the windows show them.
#include "base/Version.h"

#include "ProductInfo.h"

namespace Version {

QString ProductName() { return QString::fromUtf8(ProductInfo::ProductName); }
QString FileDescription() { return QString::fromUtf8(ProductInfo::FileDescription); }
QString LegalNotice() { return QString::fromUtf8(ProductInfo::LegalNotice); }

QString VersionText(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QString::number(revision);
}

QString VersionText() { return VersionText(ProductInfo::Major, ProductInfo::Minor, ProductInfo::Revision); }

QString MainCaption(const QString &productName, int major, int minor, int revision)
{
    return productName + QStringLiteral(" v") + VersionText(major, minor, revision);
}

QString MainCaption()
{
    return MainCaption(ProductName(), ProductInfo::Major, ProductInfo::Minor, ProductInfo::Revision);
}

}
