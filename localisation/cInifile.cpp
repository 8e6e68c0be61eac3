// One INI file entry at a time: a current file, section, key and default text.
#include "localisation/cInifile.h"

#include "base/Rounding.h"
#include "base/RuntimeError.h"
#include "localisation/FormWindow.h"
#include "localisation/ProfileFile.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

constexpr qint32 ValueBufferSize = 255;
constexpr qint32 ListBufferSize = 8192;

// Names of a list text: each name ends at its NUL; what follows the last NUL is a cut name.
QStringList SplitList(const QString &list, bool keepEmpty)
{
    QStringList names;
    qsizetype start = 0;
    for (qsizetype pos = list.indexOf(QChar(0)); pos >= 0; pos = list.indexOf(QChar(0), start)) {
        if (keepEmpty || pos > start)
            names.append(list.mid(start, pos - start));
        start = pos + 1;
    }
    return names;
}

// The number as the user's locale writes it, without group separators so that it reads back.
QString NumberText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace

QString cInifile::Value() const
{
    QString buffer;
    ProfileFile::GetPrivateProfileStringA(m_section, m_key, m_default, buffer, ValueBufferSize, m_path);
    return buffer;
}

void cInifile::setValue(const QString &sValue)
{
    QString text = sValue;
    text.remove(QChar(0));
    m_lastReturnCode = ProfileFile::WritePrivateProfileStringA(m_section, m_key, text, m_path);
}

void cInifile::DeleteKey()
{
    m_lastReturnCode = ProfileFile::WritePrivateProfileStringA(m_section, m_key, std::nullopt, m_path);
}

void cInifile::DeleteSection()
{
    m_lastReturnCode = ProfileFile::WritePrivateProfileStringA(m_section, std::nullopt, std::nullopt, m_path);
}

QString cInifile::NamesList(bool allSections) const
{
    QString buffer;
    ProfileFile::GetPrivateProfileStringA(allSections ? ProfileFile::OptionalText() : m_section,
                                          std::nullopt, m_default, buffer, ListBufferSize, m_path);
    return buffer;
}

QString cInifile::INISection() const
{
    return NamesList(false);
}

void cInifile::setINISection(const QString &sSection)
{
    m_lastReturnCode = ProfileFile::WritePrivateProfileStringA(m_section, std::nullopt, sSection, m_path);
}

QString cInifile::Sections() const
{
    return NamesList(true);
}

void cInifile::EnumerateCurrentSection(QStringList &sKey, qint32 &iCount) const
{
    sKey = SplitList(INISection(), true);
    iCount = qint32(sKey.size());
}

void cInifile::EnumerateAllSections(QStringList &sSections, qint32 &iCount) const
{
    sSections = SplitList(Sections(), false);
    iCount = qint32(sSections.size());
}

qint32 cInifile::CLngDefault(const QString &sString, qint32 lDefault)
{
    bool ok = false;
    const double value = QLocale().toDouble(sString.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return lDefault;
    const double rounded = RoundHalfEvenDouble(value);
    if (rounded < double(std::numeric_limits<qint32>::min())
        || rounded > double(std::numeric_limits<qint32>::max()))
        return lDefault;
    return qint32(rounded);
}

void cInifile::SaveFormPosition(FormWindow &frmThis)
{
    const QString savedKey = m_key;
    try {
        const qint32 state = frmThis.WindowState();
        if (state != FormWindow::Minimised) {
            m_key = QStringLiteral("Maximised");
            setValue(state == FormWindow::Maximised ? QStringLiteral("1") : QStringLiteral("0"));
            if (state != FormWindow::Maximised) {
                // Each property is read just before its entry is written.
                const std::pair<const char *, double (FormWindow::*)() const> entries[] = {
                    {"Left", &FormWindow::Left},
                    {"Top", &FormWindow::Top},
                    {"Width", &FormWindow::Width},
                    {"Height", &FormWindow::Height},
                };
                for (const auto &[key, property] : entries) {
                    const double value = (frmThis.*property)();
                    m_key = QLatin1String(key);
                    setValue(NumberText(value));
                }
            }
        }
    } catch (...) {
        m_lastReturnCode = 0;
    }
    m_key = savedKey;
}

void cInifile::LoadFormPosition(FormWindow &frmThis, qint32 lMinWidth, qint32 lMinHeight)
{
    const QString savedKey = m_key;
    const QString savedDefault = m_default;
    m_default = QStringLiteral("FAIL");
    const auto stored = [this](const char *key, qint32 fallback) {
        m_key = QLatin1String(key);
        return CLngDefault(Value(), fallback);
    };
    // Keeps [pos, pos + size] inside [m, extent - m], shrinking size when it cannot.
    const auto fit = [](qint32 &pos, qint32 &size, double m, double extent) {
        if (m > pos)
            pos = RoundHalfEven(m);
        if (extent - m < CheckedAdd(pos, size)) {
            pos = RoundHalfEven(extent - m - size);
            if (m > pos)
                pos = RoundHalfEven(m);
            if (extent - m < CheckedAdd(pos, size))
                size = RoundHalfEven(extent - pos - m);
        }
    };
    try {
        qint32 left = stored("Left", RoundHalfEven(frmThis.Left()));
        qint32 top = stored("Top", RoundHalfEven(frmThis.Top()));
        qint32 width = qMax(stored("Width", RoundHalfEven(frmThis.Width())), lMinWidth);
        qint32 height = qMax(stored("Height", RoundHalfEven(frmThis.Height())), lMinHeight);

        fit(left, width, 4 * frmThis.TwipsPerPixelX(), frmThis.ScreenWidth());
        fit(top, height, 4 * frmThis.TwipsPerPixelY(), frmThis.ScreenHeight());

        if (width >= lMinWidth && height >= lMinHeight)
            frmThis.Move(left, top, width, height);

        m_key = QStringLiteral("Maximised");
        if (CLngDefault(Value(), 0) != 0)
            frmThis.Maximise();
    } catch (...) {
        m_lastReturnCode = 0;
    }
    m_key = savedKey;
    m_default = savedDefault;
}
