// One INI file entry at a time: a current file, section, key and default text.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

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

    // The entry Key of Section in Path; Default when absent; cut to 254 characters.
    QString Value() const;
    void setValue(const QString &sValue);

    void DeleteKey();
    void DeleteSection();

    // Key names of Section, each followed by a NUL.
    QString INISection() const;
    void setINISection(const QString &sSection);
    // Names of all sections, each followed by a NUL.
    QString Sections() const;

    // 1-based arrays: element 0 is unused, so sKey[1] is the first name.
    void EnumerateCurrentSection(QStringList &sKey, qint32 &iCount) const;
    void EnumerateAllSections(QStringList &sSections, qint32 &iCount) const;

    static qint32 CLngDefault(const QString &sString, qint32 lDefault);

private:
    QString m_path;
    QString m_key;
    QString m_section;
    QString m_default;
    qint32 m_lastReturnCode = 0;
};
