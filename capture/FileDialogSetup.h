// What a file dialog is asked to do, apart from the dialog itself: filter text, flags, buffer.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace mdlFileDialog {

// Flag bits as callers pass them in and read them back.
inline constexpr qint32 FlagReadOnly = 0x1;
inline constexpr qint32 FlagOverwritePrompt = 0x2;
inline constexpr qint32 FlagHideReadOnly = 0x4;
inline constexpr qint32 FlagNoChangeDir = 0x8;
inline constexpr qint32 FlagEnableHook = 0x20; // centre the dialog over its owner when it shows
inline constexpr qint32 FlagAllowMultiSelect = 0x200;
inline constexpr qint32 FlagPathMustExist = 0x800;
inline constexpr qint32 FlagFileMustExist = 0x1000;
inline constexpr qint32 FlagExplorer = 0x80000;
inline constexpr qint32 FlagNoDereferenceLinks = 0x100000;
inline constexpr qint32 FlagLongNames = 0x200000;

// What the save dialog uses when the caller passes no flags.
inline constexpr qint32 DefaultSaveFlags = FlagOverwritePrompt | FlagHideReadOnly | FlagNoChangeDir | FlagEnableHook
    | FlagPathMustExist | FlagExplorer | FlagNoDereferenceLinks | FlagLongNames;
static_assert(DefaultSaveFlags == 0x0038082E);

// Used when the caller's filter text is empty.
inline constexpr char FallbackDescription[] = "AlleDateien (*.*)";
inline constexpr char FallbackPattern[] = "*.*";

// Description, pattern, description, pattern, ...: each followed by a NUL. A description
// without a pattern at the end of an odd-sized list is left out.
QString BuildDialogFilter(const QStringList &list);

// One file type of a filter text; patterns are separated by ";" as in "*.bmp;*.dib".
struct FileType
{
    QString Description;
    QString Pattern;
};

// The file types of a filter text, up to the first empty description (the end mark); the
// fallback type when the text holds none.
QList<FileType> ParseDialogFilter(const QString &filterText);

// A file type as a name filter of Qt's file dialog: "description (pattern pattern ...)".
QString ToNameFilter(const FileType &type);

// The extension added to a name typed without one, while the type is chosen: the caller's default
// extension where the type's patterns take it or name no single extension ("*", "*.*"), else the
// extension of the type's first pattern ("PNG (*.png)" saves "shot" as "shot.png"), as the save
// dialogs of other desktops do.
QString DefaultSuffixFor(const FileType &type, const QString &defaultExt);

// The 1-based index of the file type shown first: out-of-range indexes show the first type.
qint32 EffectiveFilterIndex(qint32 filterIndex, qsizetype typeCount);

// Length of the file buffer: room for many names with multiple selection, one path otherwise.
qint32 FileBufferLength(qint32 flags);

// The proposed file name as the dialog gets it: cut to the buffer length.
QString ProposedFileName(const QString &fileName, qint32 flags);

// The buffer handed back after a confirmed choice: one path, or with several files the folder
// and the names, each followed by a NUL; filled up with NULs to the buffer length but never cut.
QString ResultBuffer(const QStringList &files, qint32 flags);

}
