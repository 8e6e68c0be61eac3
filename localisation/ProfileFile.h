// The profile (INI) file functions: one entry, one key list or one section list at a time.
//
// Format: a line "[name]" starts a section; a line "key=value" inside a section is an entry;
// lines starting with ";" are comments; everything else is kept but means nothing. Section and
// key names compare without regard to case; blanks (spaces, tabs) around names and values do
// not count; a section whose name occurs twice is one section, and the first matching key wins.
// A NUL byte ends the name or value it stands in. The file is 8-bit text (AnsiText); LF and
// CR LF line ends are read, and new lines take the line end the file already uses (LF in a new
// file).
//
// Nothing is cached: every call reads the file anew. A write changes only the lines it must and
// replaces the file as a whole (temporary file in the same folder, renamed over the old one, its
// permissions kept), so a crash or a full disk leaves either the old or the new file.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ProfileFile {

// An argument that may be absent altogether (which is not the same as an empty text).
using OptionalText = std::optional<QString>;

// section and key given: the entry's value, or sDefault (absent = empty) when there is none.
//   buffer receives at most size - 1 characters; the result is their count.
// key absent: the key names of the section, each followed by a NUL, each name once. section absent: the section names of the file, likewise.
//   A list that does not fit (with its closing extra NUL) into size characters is cut to
//   size - 2 characters, so its last name is cut and has no NUL after it.
// A missing or unreadable file reads as an empty one; the result never fails.
qint32 GetPrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                const OptionalText &sDefault, QString &buffer, qint32 size,
                                const QString &fileName);

// All given: creates or replaces the entry, creating the file and the section when missing (a
// new key goes to the end of its section, a new section to the end of the file).
// text absent: removes the key. key absent: removes the section with all its lines.
// Returns nonzero on success and 0 when the file cannot be read or written (the file is then
// unchanged), when section or file name is absent, or when a name or the text would not fit
// on one line of the format (a line break or NUL, "]" in a section name, "=" in a key, a key
// that starts like a section or a comment).
qint32 WritePrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                  const OptionalText &text, const QString &fileName);

}
