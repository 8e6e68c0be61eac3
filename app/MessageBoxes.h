// The program's two message boxes: the standard error message and the information notice.
#pragma once

#include <QString>

class QWidget;
class RuntimeError;

namespace MessageBoxes {
// Critical icon, OK, the product name as title; the error's description and its number.
void ShowStandardError(QWidget *owner, const RuntimeError &error);
// Information icon, OK, the product name as title.
void ShowNotice(QWidget *owner, const QString &text);
}
