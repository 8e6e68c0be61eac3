// The five colour fields kept in step: refusing input that does not fit, recomputing the others
// from the field being edited, and the normal form when a field is left.
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

enum class ColourFieldId { Dec, Hex, R, G, B };
inline constexpr int ColourFieldCount = 5;

// The fields and the colour box as the window holds them.
class ColourFieldControls
{
public:
    virtual ~ColourFieldControls() = default;

    virtual QString Text(ColourFieldId f) const = 0;
    // Assigning a different text runs ColourFields::Change(f) before returning; assigning the
    // same text runs nothing. The synchronisation relies on both.
    virtual void SetText(ColourFieldId f, const QString &text) = 0;
    // The selection start: the caret position, or the start of the selection.
    virtual qint32 SelStart(ColourFieldId f) const = 0;
    virtual void SetSelStart(ColourFieldId f, qint32 position) = 0;
    // Whether f is the window's active control (the control with the focus).
    virtual bool IsActiveControl(ColourFieldId f) const = 0;
    virtual void SetColourBoxColour(qint32 colour) = 0;
};

class ColourFields
{
public:
    // lastSelStart is the window's one remembered selection start, shared by all five fields.
    ColourFields(ColourFieldControls &controls, qint32 &lastSelStart);

    // A key or a mouse button pressed in f: remember where its selection starts.
    void RememberSelStart(ColourFieldId f);
    // f's text has changed (typed, pasted or assigned).
    void Change(ColourFieldId f);
    // The focus leaves f for another control of the window: rewrite f in its normal form, with f
    // still counted as the active control while that runs.
    void Validate(ColourFieldId f);
    // A sampled colour into all five fields, decimal first and hexadecimal last.
    void ShowColour(qint32 colour);

    bool IsRefused(ColourFieldId f, const QString &text) const;
    QString NormalForm(ColourFieldId f, const QString &text) const;

    QString PreviousText(ColourFieldId f) const { return State(f).PreviousText; }
    bool Busy(ColourFieldId f) const { return State(f).Busy; }

private:
    struct FieldState
    {
        QString PreviousText; // the last accepted text; empty until one is accepted
        bool Busy = false;    // true only while the field writes PreviousText back into itself
    };

    FieldState &State(ColourFieldId f) { return m_state[static_cast<int>(f)]; }
    const FieldState &State(ColourFieldId f) const { return m_state[static_cast<int>(f)]; }
    bool IsActive(ColourFieldId f) const;
    void RecomputeOthersFrom(ColourFieldId f);
    void SetComponents(qint32 r, qint32 g, qint32 b);

    ColourFieldControls &m_controls;
    qint32 &m_lastSelStart;
    std::array<FieldState, ColourFieldCount> m_state;
    bool m_showingColour = false;
    bool m_validating = false;
    ColourFieldId m_validatingField = ColourFieldId::Dec;
};
