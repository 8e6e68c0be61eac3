// The walk over a window's controls that puts the language file's texts into them.
#include "localisation/LocalizeForm.h"

#include "localisation/ControlTexts.h"
#include "localisation/mdlI18n.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>

namespace mdlI18n {

namespace {

QString TypeName(const QObject *control)
{
    if (qobject_cast<const QPushButton *>(control))
        return QStringLiteral("CommandButton");
    if (qobject_cast<const QRadioButton *>(control))
        return QStringLiteral("OptionButton");
    if (qobject_cast<const QCheckBox *>(control))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const QGroupBox *>(control))
        return QStringLiteral("Frame");
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->pixmap().isNull() ? QStringLiteral("Label") : QString();
    if (qobject_cast<const QLineEdit *>(control))
        return QStringLiteral("TextBox");
    if (qobject_cast<const QTabBar *>(control) || qobject_cast<const QTabWidget *>(control))
        return QStringLiteral("TabStrip");
    if (qobject_cast<const QMenu *>(control) || qobject_cast<const QAction *>(control))
        return QStringLiteral("Menu");
    return QString();
}

QTabBar *Tabs(QObject *control)
{
    if (auto *tabs = qobject_cast<QTabWidget *>(control))
        return tabs->tabBar();
    return qobject_cast<QTabBar *>(control);
}

QStringList ItemKeys(QObject *control)
{
    QStringList keys;
    if (const QTabBar *tabs = Tabs(control)) {
        for (int i = 0; i < tabs->count(); ++i)
            keys.append(tabs->tabData(i).toString());
    }
    return keys;
}

// Qt shows a tool tip as rich text when it looks like markup; a translation is never markup.
QString PlainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

QString Caption(QObject *control)
{
    if (const auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (const auto *frame = qobject_cast<QGroupBox *>(control))
        return frame->title();
    if (const auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (const auto *menu = qobject_cast<QMenu *>(control))
        return menu->title();
    if (const auto *action = qobject_cast<QAction *>(control))
        return action->text();
    return QString();
}

void SetCaption(QObject *control, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(text);
    } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        frame->setTitle(text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto *menu = qobject_cast<QMenu *>(control)) {
        menu->setTitle(text);
    } else if (auto *action = qobject_cast<QAction *>(control)) {
        action->setText(text);
    }
}

QString Current(QObject *control, const TextSlot &slot)
{
    if (slot.item >= 0) {
        const QTabBar *tabs = Tabs(control);
        return slot.property == TextProperty::Caption ? tabs->tabText(slot.item) : tabs->tabToolTip(slot.item);
    }
    if (slot.property == TextProperty::ToolTipText)
        return qobject_cast<QWidget *>(control)->toolTip();
    return Caption(control);
}

void Apply(QObject *control, const TextSlot &slot, const QString &text)
{
    const QString display = DisplayText(text);
    if (slot.item >= 0) {
        QTabBar *tabs = Tabs(control);
        if (slot.property == TextProperty::Caption)
            tabs->setTabText(slot.item, display);
        else
            tabs->setTabToolTip(slot.item, PlainToolTip(display));
    } else if (slot.property == TextProperty::ToolTipText) {
        qobject_cast<QWidget *>(control)->setToolTip(PlainToolTip(display));
    } else {
        SetCaption(control, display);
    }
}

void LocalizeControl(const QString &section, QObject *control)
{
    if (IsNoLoc(control->property("Tag").toString()))
        return;
    const QString type = TypeName(control);
    if (type.isEmpty())
        return;
    const QList<TextSlot> texts = TextSlots(type, control->objectName(), ItemKeys(control));
    for (const TextSlot &slot : texts)
        Apply(control, slot, GetLngText(section, slot.key, Current(control, slot)));
}

bool IsQtPart(const QString &name)
{
    return name.startsWith(QLatin1String("qt_")) || name.startsWith(QLatin1String("_q_"));
}

void Walk(const QString &section, QObject *parent)
{
    const QObjectList children = parent->children();
    for (QObject *child : children) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !IsQtPart(name))
            LocalizeControl(section, child);
        const auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isWindow() && !qobject_cast<const QMenu *>(widget))
            continue;
        Walk(section, child);
    }
}

} // namespace

void LocalizeForm(QWidget *form)
{
    if (form)
        Walk(form->objectName(), form);
}

}
