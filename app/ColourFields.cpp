// The five colour fields kept in step.
#include "app/ColourFields.h"

#include "app/ColourText.h"

#include <algorithm>

namespace {
bool HasNonDecimal(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !IsDecimalDigit(c); });
}

bool HasNonHex(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !IsHexDigit(c); });
}
}

ColourFields::ColourFields(ColourFieldControls &controls, qint32 &lastSelStart)
    : m_controls(controls), m_lastSelStart(lastSelStart)
{
}

void ColourFields::RememberSelStart(ColourFieldId f)
{
    m_lastSelStart = m_controls.SelStart(f);
}

bool ColourFields::IsRefused(ColourFieldId f, const QString &text) const
{
    switch (f) {
    case ColourFieldId::R:
    case ColourFieldId::G:
    case ColourFieldId::B: {
        const qint32 n = TextToLong(text);
        return HasNonDecimal(text) || n > 255 || n < 0;
    }
    case ColourFieldId::Dec: {
        const qint32 n = TextToLong(text);
        return HasNonDecimal(text) || n > 16777215 || n < 0;
    }
    case ColourFieldId::Hex:
        if (text.startsWith(u'#'))
            return HasNonHex(QStringView(text).mid(1)) || text.size() > 7;
        return HasNonHex(text) || text.size() > 6;
    }
    return true;
}

QString ColourFields::NormalForm(ColourFieldId f, const QString &text) const
{
    switch (f) {
    case ColourFieldId::Dec:
        return QString::number(TextToColour(text));
    case ColourFieldId::Hex:
        return NormalizeHex(text);
    case ColourFieldId::R:
    case ColourFieldId::G:
    case ColourFieldId::B:
        break;
    }
    return QString::number(TextToByte(text));
}

bool ColourFields::IsActive(ColourFieldId f) const
{
    // A sample is written into all five fields at once; none of them computes the others from
    // a half-written colour, even if one holds the focus.
    if (m_showingColour)
        return false;
    // While a field is being left the focus may already sit on the next control; the field being
    // left is the active one until its normal form is written.
    if (m_validating)
        return f == m_validatingField;
    return m_controls.IsActiveControl(f);
}

void ColourFields::Change(ColourFieldId f)
{
    if (!State(f).Busy) {
        const QString text = m_controls.Text(f);
        if (IsRefused(f, text)) {
            State(f).Busy = true;
            m_controls.SetText(f, State(f).PreviousText);
            const qint32 end = static_cast<qint32>(m_controls.Text(f).size());
            m_controls.SetSelStart(f, std::clamp(m_lastSelStart, 0, end));
        } else {
            State(f).PreviousText = text;
        }
        if (IsActive(f))
            RecomputeOthersFrom(f);
        if (f == ColourFieldId::Dec)
            m_controls.SetColourBoxColour(TextToColour(m_controls.Text(ColourFieldId::Dec)));
    }
    State(f).Busy = false;
}

void ColourFields::Validate(ColourFieldId f)
{
    const bool wasValidating = m_validating;
    const ColourFieldId previousField = m_validatingField;
    m_validating = true;
    m_validatingField = f;
    m_controls.SetText(f, NormalForm(f, m_controls.Text(f)));
    m_validating = wasValidating;
    m_validatingField = previousField;
}

void ColourFields::ShowColour(qint32 colour)
{
    const bool wasShowing = m_showingColour;
    m_showingColour = true;
    m_controls.SetText(ColourFieldId::Dec, QString::number(colour));
    const ColourComponents c = SplitColour(colour);
    m_controls.SetText(ColourFieldId::R, QString::number(c.R));
    m_controls.SetText(ColourFieldId::G, QString::number(c.G));
    m_controls.SetText(ColourFieldId::B, QString::number(c.B));
    m_controls.SetText(ColourFieldId::Hex, HexText(c.R, c.G, c.B));
    m_showingColour = wasShowing;
}

void ColourFields::SetComponents(qint32 r, qint32 g, qint32 b)
{
    m_controls.SetText(ColourFieldId::R, QString::number(r));
    m_controls.SetText(ColourFieldId::G, QString::number(g));
    m_controls.SetText(ColourFieldId::B, QString::number(b));
}

void ColourFields::RecomputeOthersFrom(ColourFieldId f)
{
    switch (f) {
    case ColourFieldId::R:
    case ColourFieldId::G:
    case ColourFieldId::B: {
        const qint32 r = TextToByte(m_controls.Text(ColourFieldId::R));
        const qint32 g = TextToByte(m_controls.Text(ColourFieldId::G));
        const qint32 b = TextToByte(m_controls.Text(ColourFieldId::B));
        m_controls.SetText(ColourFieldId::Dec, QString::number(JoinColour(r, g, b)));
        m_controls.SetText(ColourFieldId::Hex, HexText(r, g, b));
        break;
    }
    case ColourFieldId::Dec: {
        const ColourComponents c = SplitColour(TextToColour(m_controls.Text(ColourFieldId::Dec)));
        SetComponents(c.R, c.G, c.B);
        m_controls.SetText(ColourFieldId::Hex, HexText(c.R, c.G, c.B));
        break;
    }
    case ColourFieldId::Hex: {
        // txtHex keeps the text as typed until it is left.
        const QString h = NormalizeHex(m_controls.Text(ColourFieldId::Hex));
        const qint32 r = TextToByte(QStringLiteral("&H") + h.mid(1, 2));
        const qint32 g = TextToByte(QStringLiteral("&H") + h.mid(3, 2));
        const qint32 b = TextToByte(QStringLiteral("&H") + h.mid(5, 2));
        SetComponents(r, g, b);
        m_controls.SetText(ColourFieldId::Dec, QString::number(JoinColour(r, g, b)));
        break;
    }
    }
}
