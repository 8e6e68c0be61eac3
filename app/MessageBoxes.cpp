// The program's two message boxes: the standard error message and the information notice.
#include "app/MessageBoxes.h"

#include "base/RuntimeError.h"
#include "base/Version.h"
#include "localisation/ControlTexts.h"

#include <QMessageBox>

namespace MessageBoxes {

namespace {
void Show(QWidget *owner, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, Version::ProductName(), mdlI18n::DisplayText(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
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
