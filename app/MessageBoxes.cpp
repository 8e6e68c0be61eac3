// The program's two message boxes: the standard error message and the information notice.
#include "app/MessageBoxes.h"

#include "base/RuntimeError.h"
#include "base/Version.h"

#include <QMessageBox>

namespace MessageBoxes {

namespace {
void Show(QWidget *owner, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, Version::ProductName(), DisplayText(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
}

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void ShowStandardError(QWidget *owner, const RuntimeError &error)
{
    Show(owner, QMessageBox::Critical, StandardErrorText(error));
}

void ShowNotice(QWidget *owner, const QString &text)
{
    Show(owner, QMessageBox::Information, text);
}

}
