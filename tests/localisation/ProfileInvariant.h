// What a write may do to a profile file and what it must leave alone, checked on the bytes
// (shared by the invariant test and the fuzz target).
#pragma once

#include "localisation/AnsiText.h"
#include "localisation/ProfileText.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ProfileInvariant {

inline QList<QByteArray> Names(const QByteArray &list)
{
    QList<QByteArray> names = list.split('\0');
    names.removeLast(); // after the last NUL
    return names;
}

// Every entry of before, other than those of section (and of key, when given), reads the same in
// after; every section stays. Empty when so, else what changed.
inline QString OthersUnchanged(const QByteArray &before, const QByteArray &after, QByteArrayView section,
                               std::optional<QByteArrayView> key)
{
    for (const QByteArray &s : Names(ProfileText::SectionNames(before))) {
        const bool sameSection = AnsiText::EqualsIgnoringCase(s, section);
        if (sameSection && !key)
            continue;
        if (!Names(ProfileText::SectionNames(after)).contains(s))
            return QStringLiteral("section lost: [%1]").arg(QString::fromLatin1(s));
        for (const QByteArray &k : Names(ProfileText::KeyNames(before, s))) {
            if (sameSection && AnsiText::EqualsIgnoringCase(k, *key))
                continue;
            if (ProfileText::Value(before, s, k) != ProfileText::Value(after, s, k))
                return QStringLiteral("[%1] %2 changed").arg(QString::fromLatin1(s), QString::fromLatin1(k));
        }
    }
    return QString();
}

// after is before with section/key set to value: the bytes differ in one line only (or lines were
// added), the entry reads back as written, and nothing else reads differently.
inline QString EntryWritten(const QByteArray &before, const QByteArray &after, QByteArrayView section,
                            QByteArrayView key, QByteArrayView value)
{
    qsizetype prefix = 0;
    qsizetype suffix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (before.mid(prefix, before.size() - prefix - suffix).contains('\n'))
        return QStringLiteral("a line end of another line changed");
    QByteArrayView trimmed = value;
    while (!trimmed.isEmpty() && (trimmed.front() == ' ' || trimmed.front() == '\t'))
        trimmed = trimmed.sliced(1);
    while (!trimmed.isEmpty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
        trimmed.chop(1);
    if (ProfileText::Value(after, section, key) != trimmed.toByteArray())
        return QStringLiteral("the entry does not read back");
    return OthersUnchanged(before, after, section, key);
}

}
