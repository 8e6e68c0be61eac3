// Which texts of a control the language file holds, under which keys and in which order.
#include "localisation/ControlTexts.h"

namespace mdlI18n {

namespace {

QString PropertyName(TextProperty property)
{
    switch (property) {
    case TextProperty::Caption:
        return QStringLiteral("Caption");
    case TextProperty::ToolTipText:
        return QStringLiteral("ToolTipText");
    case TextProperty::Text:
        return QStringLiteral("Text");
    case TextProperty::Description:
        return QStringLiteral("Description");
    }
    return QString();
}

bool Is(const QString &typeName, const char *name)
{
    return typeName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

QList<TextSlot> TextSlots(const QString &typeName, const QString &controlName,
                          const QStringList &itemKeys)
{
    QList<TextSlot> texts;
    const auto own = [&](TextProperty property) {
        texts.append(TextSlot{controlName + QLatin1Char('.') + PropertyName(property), -1, property});
    };
    const auto item = [&](int index, const QString &key, TextProperty property) {
        texts.append(TextSlot{key + QLatin1Char('.') + PropertyName(property), index, property});
    };

    if (Is(typeName, "CommandButton") || Is(typeName, "Frame") || Is(typeName, "Label")
        || Is(typeName, "OptionButton") || Is(typeName, "CheckBox")) {
        own(TextProperty::Caption);
        own(TextProperty::ToolTipText);
    } else if (Is(typeName, "Menu")) {
        own(TextProperty::Caption);
    } else if (Is(typeName, "TextBox")) {
        own(TextProperty::ToolTipText);
    } else if (Is(typeName, "ListView")) {
        for (int i = 0; i < itemKeys.size(); ++i)
            item(i, controlName + QLatin1Char('.') + itemKeys.at(i), TextProperty::Text);
    } else if (Is(typeName, "TabStrip")) {
        for (int i = 0; i < itemKeys.size(); ++i) {
            const QString key = QLatin1String("tbs") + itemKeys.at(i);
            item(i, key, TextProperty::Caption);
            item(i, key, TextProperty::ToolTipText);
        }
    } else if (Is(typeName, "Toolbar")) {
        for (int i = 0; i < itemKeys.size(); ++i) {
            if (itemKeys.at(i).isEmpty())
                continue;
            const QString key = QLatin1String("tbr") + itemKeys.at(i);
            item(i, key, TextProperty::Description);
            item(i, key, TextProperty::ToolTipText);
        }
    }
    return texts;
}

bool IsNoLoc(const QString &tag)
{
    return tag.compare(QLatin1String("NOLOC"), Qt::CaseInsensitive) == 0;
}

QString EscapeLineBreaks(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    escaped.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return escaped;
}

QString DisplayText(const QString &text)
{
    QString display = text;
    display.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    display.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return display;
}

QString ExpandLineBreaks(const QString &text)
{
    QString expanded = text;
    expanded.replace(QLatin1String("\\n"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    return expanded;
}

}
