// The profile (INI) file functions: one entry, one key list or one section list at a time.
//
// The format, its encodings, and what a write may change are described in ProfileText.h.
//
// Nothing is cached: every call reads the file anew, except through a Snapshot. A write changes
// only the lines it must and replaces the file as a whole (FileReplace: synced, renamed over the
// old one, permissions and owner kept), so a crash or a full disk leaves either the old or the
// new file; each read-modify-write holds the folder's lock, so that two processes completing the
// same file one entry at a time lose nothing of each other's.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
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
// that starts like a section or a comment), or when the file's encoding cannot hold a name.
qint32 WritePrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                  const OptionalText &text, const QString &fileName);

// A file read once for many entry lookups and writes, as a window's load makes them. Lookups see
// the writes made through the snapshot; the file itself changes only at Commit, in one
// replacement that gives the very bytes the same writes one by one would have given.
class Snapshot
{
public:
    explicit Snapshot(const QString &fileName);
    ~Snapshot();
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

    // As the functions above with section and key given.
    qint32 GetPrivateProfileStringA(const QString &section, const QString &key, const OptionalText &sDefault,
                                    QString &buffer, qint32 size);
    // Whether the file (with the writes made through the snapshot) has a section of that name.
    bool HasSection(const QString &section) const;
    // Nonzero when the write is sound and the file could be read (it is written at Commit).
    qint32 WritePrivateProfileStringA(const QString &section, const QString &key, const QString &text);

    // Writes the changes, holding the folder's lock. When the file has changed since it was read
    // (another instance completed it), redo gets a snapshot of the file as it is now to make its
    // writes again, and that one is written instead. Nonzero on success, also with nothing to write.
    qint32 Commit(const std::function<void(Snapshot &)> &redo);

private:
    struct State;
    std::unique_ptr<State> m;
};

}
