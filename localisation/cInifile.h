// One INI file entry at a time: a current file, section, key and default text.
//
// Assign Path, Section and Key (and Default) first, then read or assign Value or call a list
// or delete operation on what they name. Reads never fail; writes report through
// LastReturnCode and Success instead of raising errors. Nothing is cached.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class FormWindow;

class cInifile
{
public:
    qint32 LastReturnCode() const { return m_lastReturnCode; }
    bool Success() const { return m_lastReturnCode != 0; }

    QString Default() const { return m_default; }
    void setDefault(const QString &sDefault) { m_default = sDefault; }
    QString Path() const { return m_path; }
    void setPath(const QString &sPath) { m_path = sPath; }
    QString Key() const { return m_key; }
    void setKey(const QString &sKey) { m_key = sKey; }
    QString Section() const { return m_section; }
    void setSection(const QString &sSection) { m_section = sSection; }

    // The entry Key of Section in Path, cut to 254 characters; Default when there is none.
    QString Value() const;
    // NULs are dropped from the text before it is written.
    void setValue(const QString &sValue);

    void DeleteKey();
    void DeleteSection();

    // Key names of Section, each followed by a NUL (at most 8,192 characters).
    QString INISection() const;
    // Removes Section (the assigned text is not stored).
    void setINISection(const QString &sSection);
    // Names of all sections, each followed by a NUL (at most 8,192 characters).
    QString Sections() const;

    // Names as a list: name number n (counted from 1) is sKey[n - 1], and iCount equals
    // sKey.size(). EnumerateCurrentSection keeps empty names, EnumerateAllSections skips them;
    // a name cut off at the end of a too long list is dropped.
    void EnumerateCurrentSection(QStringList &sKey, qint32 &iCount) const;
    void EnumerateAllSections(QStringList &sSections, qint32 &iCount) const;

    // Window geometry as entries "Maximised", "Left", "Top", "Width" and "Height" of Section, in
    // twips. Key and Default are left as they were; any error ends the operation with
    // LastReturnCode 0 and does not reach the caller.
    void SaveFormPosition(FormWindow &frmThis);
    void LoadFormPosition(FormWindow &frmThis, qint32 lMinWidth, qint32 lMinHeight);

    // The text as a number in the user's locale (blanks around it allowed, a fraction rounded
    // half to even), or lDefault when it is no number or outside the signed 32-bit range.
    static qint32 CLngDefault(const QString &sString, qint32 lDefault);

private:
    QString NamesList(bool allSections) const;

    QString m_path;
    QString m_key;
    QString m_section;
    QString m_default;
    qint32 m_lastReturnCode = 0;
};
