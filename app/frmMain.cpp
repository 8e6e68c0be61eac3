// The main window: colour picker, colour fields, screenshot commands.
#include "app/frmMain.h"

#include "about/frmAbout.h"
#include "app/ColourPicker.h"
#include "app/ColourText.h"
#include "app/HandleKeys.h"
#include "app/ModalDialogs.h"
#include "base/Cursors.h"
#include "app/PictureBox.h"
#include "app/PictureFit.h"
#include "app/PointerStep.h"
#include "base/Twips.h"
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"
#include "base/Version.h"
#include "app/MessageBoxes.h"
#include "app/ZoomView.h"
#include "base/LocalText.h"
#include "capture/mdlFileDialog.h"
#include "monitors/MonitorMapLayout.h"
#include "platform/DisplayCheck.h"
#include "localisation/LocalizeForm.h"
#include "localisation/mdlI18n.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <exception>
#include <functional>
#include <optional>

namespace {
// Client area 4680 x 3855 twips.
constexpr int ClientWidthTwips = 4680;
constexpr int ClientHeightTwips = 3855;
constexpr double DesignFontPointSize = 8.0;

template <typename T>
T *Place(T *control, const char *name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel *CaptionLabel(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    return Place(new QLabel(text, parent), name, geometry);
}

QLineEdit *ColourField(QWidget *parent, const char *name, const QString &text, int maxLength, QRect geometry)
{
    auto *field = Place(new QLineEdit(text, parent), name, geometry);
    field->setMaxLength(maxLength);
    return field;
}

QTimer *DisabledTimer(QObject *parent, const char *name, int interval)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}

// The main window's texts beyond its controls; a new one is a row here and in AllTexts.
constexpr LocalText SaveBmpFilesText{"frmMain", "strSaveBmpFiles", "Bitmap"}; // the save dialog's file types
constexpr LocalText SavePngFilesText{"frmMain", "strSavePngFiles", "PNG-Bild"};
constexpr LocalText CaptureScreenText{"frmMain", "strCaptureScreen",
    "Der Desktop wird in 2 Sekunden kopiert.\\nAktivieren Sie jetzt die gewünschten Fenster!"};
constexpr LocalText CaptureWindowText{"frmMain", "strCaptureWindow",
    "Das aktive Fenster wird in 2 Sekunden kopiert.\\nAktivieren Sie jetzt das gewünschte Fenster!"};
constexpr LocalText CaptureWindowDialogText{"frmMain", "strCaptureWindowDialog",
    "Dieser Desktop lässt Fenster nur über seinen eigenen Dialog kopieren.\\nWählen Sie dort gleich das "
    "gewünschte Fenster aus!"};
// What a screen reader says of the controls that show no text of their own.
constexpr LocalText ColourBoxHelpText{"frmMain", "strColourBoxHelp", "Die Farbe der Felder"};
constexpr LocalText ZoomViewText{"frmMain", "strZoomView", "Lupe"};
constexpr LocalText ZoomViewHelpText{"frmMain", "strZoomViewHelp",
    "Die Umgebung der Pipettenspitze achtfach vergrößert, die Mitte mit einem roten Kreuz"};
constexpr LocalText EyedropperText{"frmMain", "strEyedropper", "Pipette"};
constexpr LocalText EyedropperHelpText{"frmMain", "strEyedropperHelp",
    "Auf den Bildschirm ziehen oder mit Leertaste starten, mit den Pfeiltasten bewegen und mit Eingabe beenden: "
    "die Farbe unter der Spitze erscheint in den Feldern"};
constexpr LocalText HandText{"frmMain", "strHand", "Hand"};
constexpr LocalText HandHelpText{"frmMain", "strHandHelp",
    "Auf ein Fenster ziehen oder mit Leertaste starten, mit den Pfeiltasten bewegen und mit Eingabe das Fenster "
    "unter dem Zeiger kopieren; Esc bricht ab"};

// Every text beyond the windows' controls, so that a first start writes them all: the main
// window's above, and each floor's list.
QList<LocalText> AllTexts()
{
    return QList<LocalText>{SaveBmpFilesText, SavePngFilesText, CaptureScreenText, CaptureWindowText,
                            CaptureWindowDialogText, ColourBoxHelpText, ZoomViewText, ZoomViewHelpText,
                            EyedropperText, EyedropperHelpText, HandText, HandHelpText}
        + frmAbout::Texts() + mdlFileDialog::Texts() + MonitorMapLayout::Texts() + ErrorLocalTexts()
        + DisplayCheck::Texts();
}
}

frmMain::frmMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Main"));
    // The icon at the sizes desktops show it, each drawn for its size.
    QIcon icon;
    for (qreal ratio : {1.0, 2.0, 3.0, 4.0}) {
        QImage size = Cursors::WindowIconImage(ratio);
        size.setDevicePixelRatio(1.0);  // 16, 32, 48 and 64 pixels, each its own size
        icon.addPixmap(QPixmap::fromImage(size));
    }
    setWindowIcon(icon);
    setFixedSize(TwipsToPixels(ClientWidthTwips), TwipsToPixels(ClientHeightTwips));
    // The layout was designed for an 8-point dialog font; the desktop's family at that size
    // keeps every caption inside its design box.
    QFont dialogFont = font();
    dialogFont.setPointSizeF(DesignFontPointSize);
    setFont(dialogFont);
    CreateControls();
    WireColourFields();
    WireColourPicker();
    WireCaptureCommands();
    // The About box, the monitor map, the save dialog and the message boxes are all modal.
    m_modalDialogs = std::make_unique<ModalDialogsStayShown>();
    qApp->installEventFilter(m_modalDialogs.get());
    Form_Load();
}

void frmMain::CreateControls()
{
    // Created in tab order, so the focus chain and the language file follow the design.
    lblDez = CaptionLabel(this, "lblDez", QStringLiteral("&Dez"), TwipsRect(1320, 150, 495, 255));
    txtDec = ColourField(this, "txtDec", QStringLiteral("0"), 8, TwipsRect(1920, 120, 975, 285));
    lblHex = CaptionLabel(this, "lblHex", QStringLiteral("He&x"), TwipsRect(1320, 480, 495, 255));
    txtHex = ColourField(this, "txtHex", QStringLiteral("#000000"), 7, TwipsRect(1920, 450, 975, 285));
    lblR = CaptionLabel(this, "lblR", QStringLiteral("&Rot"), TwipsRect(3480, 150, 495, 255));
    txtR = ColourField(this, "txtR", QStringLiteral("0"), 3, TwipsRect(4080, 120, 495, 285));
    lblG = CaptionLabel(this, "lblG", QString::fromUtf8("&Grün"), TwipsRect(3480, 480, 495, 255));
    txtG = ColourField(this, "txtG", QStringLiteral("0"), 3, TwipsRect(4080, 480, 495, 285));
    lblB = CaptionLabel(this, "lblB", QStringLiteral("&Blau"), TwipsRect(3480, 840, 495, 255));
    txtB = ColourField(this, "txtB", QStringLiteral("0"), 3, TwipsRect(4080, 840, 495, 285));
    // Each label's access key moves the focus to the field after it.
    lblDez->setBuddy(txtDec);
    lblHex->setBuddy(txtHex);
    lblR->setBuddy(txtR);
    lblG->setBuddy(txtG);
    lblB->setBuddy(txtB);

    picColour = Place(new PictureBox(this), "picColour", TwipsRect(120, 120, 975, 975));
    picColour->setProperty("Tag", QStringLiteral("NOLOC"));
    picColour->SetBackColor(Qt::black);
    picColour->setAccessibleName(QStringLiteral("#000000"));

    picCursor = Place(new PictureBox(this, false), "picCursor", TwipsRect(3780, 1380, 495, 495));
    picCursor->SetBackColor(palette().color(QPalette::Window));
    picCursor->SetScalablePicture(&Cursors::EyedropperImage);
    picCursor->SetKeyboardHandle(true);

    picZoom = Place(new PictureBox(this), "picZoom", TwipsRect(120, 1200, 3255, 1335));
    picZoom->SetBackColor(palette().color(QPalette::Window));

    cmdAbout = Place(new QPushButton(QStringLiteral("Info"), this), "cmdAbout", TwipsRect(3480, 2160, 1095, 375));
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    Timer1 = DisabledTimer(this, "Timer1", 50);

    fraScreenShot = Place(new QGroupBox(QStringLiteral("ScreenShot"), this), "fraScreenShot",
                          TwipsRect(120, 2640, 4455, 1095));
    // A frame's caption sits on its border line, so the design positions inside it hold; the
    // classic style draws it that way, the desktop style above the border.
    if (QStyle *classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(fraScreenShot);
        fraScreenShot->setStyle(classic);
    }
    cmdWindow = Place(new QPushButton(QStringLiteral("&Fenster"), fraScreenShot), "cmdWindow",
                      TwipsRect(120, 240, 1095, 375));
    cmdDesktop = Place(new QPushButton(QStringLiteral("Desk&top"), fraScreenShot), "cmdDesktop",
                       TwipsRect(120, 600, 1095, 375));
    optClipboard = Place(new QRadioButton(QStringLiteral("&Zwischenablage"), fraScreenShot), "optClipboard",
                         TwipsRect(1680, 240, 1695, 255));
    optClipboard->setChecked(true);
    optFile = Place(new QRadioButton(QStringLiteral("&Speichern"), fraScreenShot), "optFile",
                    TwipsRect(1680, 600, 1695, 255));
    picCursorScreen = Place(new PictureBox(fraScreenShot, false), "picCursorScreen", TwipsRect(3600, 240, 495, 495));
    picCursorScreen->SetBackColor(palette().color(QPalette::Window));
    picCursorScreen->SetScalablePicture(&Cursors::PointingHandImage);
    picCursorScreen->SetKeyboardHandle(true);
    Timer2 = DisabledTimer(this, "Timer2", 50);
    Timer3 = DisabledTimer(this, "Timer3", 2000);

    // Labels take no focus; this is the order of the fields, boxes and buttons.
    const QList<QWidget *> tabOrder{txtDec, txtHex, txtR, txtG, txtB, picColour, picCursor, picZoom, cmdAbout,
                                    cmdWindow, cmdDesktop, optClipboard, optFile, picCursorScreen};
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void frmMain::Form_Load()
{
    // One read of the language file for this window's texts, and at most one write.
    const mdlI18n::TextBatch texts;
    Guarded([this] { SetAlwaysOnTop(static_cast<WindowHandle>(winId()), true); });
    Guarded([this] { setWindowTitle(Version::MainCaption()); });
    Guarded([this] { mdlI18n::LocalizeForm(this); });
    Guarded([this] { SaveFilterText = Localised(SaveBmpFilesText); });
    Guarded([this] { SavePngFilterText = Localised(SavePngFilesText); });
    Guarded([this] { CaptureScreenNotice = Localised(CaptureScreenText); });
    Guarded([this] { CaptureWindowNotice = Localised(CaptureWindowText); });
    Guarded([this] { CaptureWindowDialogNotice = Localised(CaptureWindowDialogText); });
    // The texts of the other windows and messages, so that the file is a complete template; the
    // About box's own come from its load, on the first start only.
    Guarded([this] {
        if (!mdlI18n::HasSection(QStringLiteral("frmAbout")))
            frmAbout about(this);
    });
    Guarded([] { mdlI18n::CompleteTexts(AllTexts()); });

    // What a screen reader says of the controls that show no text of their own.
    Guarded([this] { DescribeForScreenReaders(); });

    // The first control in tab order that takes the focus, with its text selected.
    txtDec->setFocus(Qt::OtherFocusReason);
    SelectAllText(txtDec);
}

void frmMain::DescribeForScreenReaders()
{
    picColour->setAccessibleDescription(Localised(ColourBoxHelpText));
    picZoom->setAccessibleName(Localised(ZoomViewText));
    picZoom->setAccessibleDescription(Localised(ZoomViewHelpText));
    picCursor->setAccessibleName(Localised(EyedropperText));
    picCursor->setAccessibleDescription(Localised(EyedropperHelpText));
    picCursorScreen->setAccessibleName(Localised(HandText));
    picCursorScreen->setAccessibleDescription(Localised(HandHelpText));
}

void frmMain::cmdAbout_Click()
{
    // Not topmost while the box is open, so that it cannot end up behind this window.
    SetAlwaysOnTop(static_cast<WindowHandle>(winId()), false);
    {
        frmAbout about(this);
        about.exec();
    }
    SetAlwaysOnTop(static_cast<WindowHandle>(winId()), true);
}

qint32 frmMain::SetAlwaysOnTop(WindowHandle hWnd, bool on)
{
    const bool requested = CurrentPlatform().SetAlwaysOnTop(hWnd, on);
    return on && requested ? 1 : 0;
}

void frmMain::ShowPictureFitted(const QImage &picture)
{
    // Anything that goes wrong leaves what was painted so far, silently.
    if (picture.isNull())
        return;
    const QSize box(picZoom->ScaleWidth(), picZoom->ScaleHeight());
    picZoom->SetPicture(QImage());
    const QRectF target = FitPictureRect(box, picture.size());
    if (target.isEmpty())
        return;
    picZoom->PaintPicture(picture, target, true);
}

void frmMain::SelectAllText(QLineEdit *box)
{
    box->setSelection(0, static_cast<int>(box->text().size()));
}

// Colour picker ----------------------------------------------------------------------------------

namespace {
// While a handle is dragged, hands the arrow keys, and every other key pressed, to callbacks,
// wherever the keyboard focus is. A key the second callback takes goes no further.
class DragKeyFilter : public QObject
{
public:
    DragKeyFilter(std::function<void(int, bool)> onArrow, std::function<bool(int, Qt::KeyboardModifiers)> onKey)
        : m_onArrow(std::move(onArrow)), m_onKey(std::move(onKey))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            auto *key = static_cast<QKeyEvent *>(event);
            switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Up:
            case Qt::Key_Down:
                if (event->type() == QEvent::KeyPress)
                    m_onArrow(key->key(), key->modifiers() & Qt::ShiftModifier);
                event->accept();
                return true;
            default:
                if (event->type() == QEvent::KeyPress && !key->isAutoRepeat() && m_onKey(key->key(), key->modifiers()))
                    return true;
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int, bool)> m_onArrow;
    std::function<bool(int, Qt::KeyboardModifiers)> m_onKey;
};
}

void frmMain::WireColourPicker()
{
    m_colourPicker = std::make_unique<ColourPicker>(*m_colourFields);
    m_dragKeys = std::make_unique<DragKeyFilter>([this](int key, bool shift) { MovePointerByKey(key, shift); },
                                                 [this](int key, Qt::KeyboardModifiers m) { return DragKeyDown(key, m); });
    connect(picCursor, &PictureBox::MouseDown, this, [this] { picCursor_MouseDown(); });
    connect(picCursor, &PictureBox::MouseUp, this, [this] { picCursor_MouseUp(); });
    connect(picCursor, &PictureBox::KeyDown, this, &frmMain::picCursor_KeyDown);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
}

void frmMain::picCursor_MouseDown()
{
    // Any button starts the drag; a second button while one is held changes nothing.
    if (m_picking)
        return;
    m_picking = true;
    m_samplesThisDrag = 0;
    // The handle takes the focus and, hidden, passes it on to the zoom view, so none of the
    // colour fields is the active control while the samples are written into them.
    picCursor->setFocus(Qt::MouseFocusReason);
    BeginHandleDrag(picCursor, Cursors::Eyedropper(devicePixelRatioF()));
    // Where the screen cannot be read live, the drag samples a still copy of it.
    if (!FreezeScreenForPicking())
        return;
    Timer1->start();
}

void frmMain::picCursor_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    // Space or Enter on the focused handle: a press at the pointer, wherever it is.
    if (HandleKey(DragHandle::Eyedropper, m_picking, key, shift) == HandleKeyAction::Start)
        picCursor_MouseDown();
}

bool frmMain::DragKeyDown(int key, Qt::KeyboardModifiers shift)
{
    PictureBox *handle = m_picking ? picCursor : picCursorScreen;
    switch (HandleKey(m_picking ? DragHandle::Eyedropper : DragHandle::Hand, true, key, shift)) {
    case HandleKeyAction::End:
    case HandleKeyAction::EndWithCtrl:
        if (m_picking) {
            // The key may follow the last arrow key sooner than the next tick: the fields show
            // the pixel under the pointer as the key ends the pick.
            Timer1_Timer();
            picCursor_MouseUp();
        } else
            picCursorScreen_MouseUp(shift & Qt::ControlModifier);
        break;
    case HandleKeyAction::Cancel:
        CancelHandDrag();
        break;
    default:
        // Space does nothing more during the hand's drag, and reaches no field either.
        return key == Qt::Key_Space;
    }
    // Ended from the keyboard, the drag leaves the keyboard on its handle for the next one.
    handle->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmMain::FreezeScreenForPicking()
{
    try {
        CurrentPlatform().FreezeScreen();
        return true;
    } catch (const RuntimeError &error) {
        EndHandleDrag(picCursor);
        m_picking = false;
        // A desktop that refuses copies of its screen may still offer its own colour picker.
        if (error.number() != ErrorNumberOf(ErrorKind::ScreenCopyDenied) || !PickColourOnDesktop())
            MessageBoxes::ShowStandardError(this, error);
        return false;
    }
}

bool frmMain::PickColourOnDesktop()
{
    try {
        const std::optional<qint32> colour = CurrentPlatform().PickColour();
        if (colour)
            m_colourFields->ShowColour(*colour);
        return colour.has_value();
    } catch (const RuntimeError &) {
        return true;  // the user cancelled the picker: nothing to say
    }
}

void frmMain::picCursor_MouseUp()
{
    if (!m_picking)
        return;
    Timer1->stop();
    if (m_samplesThisDrag == 0) {
        // A click shorter than one tick still samples the spot, with the handle painted away.
        repaint(picCursor->geometry());
        Timer1_Timer();
    }
    EndPicking();
}

void frmMain::EndPicking()
{
    Timer1->stop();
    CurrentPlatform().ThawScreen();
    EndHandleDrag(picCursor);
    m_picking = false;
}

void frmMain::BeginHandleDrag(PictureBox *handle, const QCursor &pointer)
{
    // Hidden, the handle would pass the keyboard on along the tab order, for the hand to the first
    // field, which would then look ready for typing: the zoom view, which shows no focus, holds it.
    if (handle->hasFocus())
        picZoom->setFocus(Qt::OtherFocusReason);
    handle->hide();
    // A widget hidden inside its own press handler never hears the release; holding the mouse
    // keeps it coming, from wherever on the screen the button is let go.
    handle->grabMouse();
    QGuiApplication::setOverrideCursor(pointer);
    // The arrow keys move the pointer; keys end the drag as the release does.
    qApp->installEventFilter(m_dragKeys.get());
}

void frmMain::EndHandleDrag(PictureBox *handle)
{
    qApp->removeEventFilter(m_dragKeys.get());
    QGuiApplication::restoreOverrideCursor();
    handle->releaseMouse();
    handle->show();
}

void frmMain::Timer1_Timer()
{
    // A tick whose copy is still under way is skipped: the next tick asks again.
    if (m_colourPicker->Tick(CurrentPlatform().CursorPos(), picZoom->Surface(),
                             [this](const RuntimeError *error) { PickerSampleShown(error); }))
        ++m_samplesThisDrag;
}

void frmMain::PickerSampleShown(const RuntimeError *error)
{
    picZoom->HoldPicture(m_colourPicker->Picture());
    picZoom->update();
    if (!error)
        return;
    // A desktop that stops copying mid-drag ends the drag, and says why once it has unwound.
    if (m_picking)
        EndPicking();
    QMetaObject::invokeMethod(this, [this, shown = *error] { MessageBoxes::ShowStandardError(this, shown); }, Qt::QueuedConnection);
}

void frmMain::MovePointerByKey(int key, bool shift)
{
    Platform &platform = CurrentPlatform();
    platform.SetCursorPos(StepPointer(platform.CursorPos(), ArrowKeyStep(key, shift), platform.VirtualScreen().ToQRect()));
}

// Colour fields ----------------------------------------------------------------------------------

void frmMain::WireColourFields()
{
    // Connected after the design-time texts are in, so no field has accepted a text yet.
    m_colourFields = std::make_unique<ColourFields>(static_cast<ColourFieldControls &>(*this), LastSelStart);
    connect(txtDec, &QLineEdit::textChanged, this, &frmMain::txtDec_Change);
    connect(txtHex, &QLineEdit::textChanged, this, &frmMain::txtHex_Change);
    connect(txtR, &QLineEdit::textChanged, this, &frmMain::txtR_Change);
    connect(txtG, &QLineEdit::textChanged, this, &frmMain::txtG_Change);
    connect(txtB, &QLineEdit::textChanged, this, &frmMain::txtB_Change);
    for (QLineEdit *field : {txtDec, txtHex, txtR, txtG, txtB})
        field->installEventFilter(this);
}

void frmMain::txtDec_Change()
{
    m_colourFields->Change(ColourFieldId::Dec);
}

void frmMain::txtHex_Change()
{
    m_colourFields->Change(ColourFieldId::Hex);
}

void frmMain::txtR_Change()
{
    m_colourFields->Change(ColourFieldId::R);
}

void frmMain::txtG_Change()
{
    m_colourFields->Change(ColourFieldId::G);
}

void frmMain::txtB_Change()
{
    m_colourFields->Change(ColourFieldId::B);
}

void frmMain::ColourField_GotFocus(ColourFieldId f)
{
    SelectAllText(FieldControl(f));
}

void frmMain::ColourField_KeyPress(ColourFieldId f)
{
    m_colourFields->RememberSelStart(f);
}

void frmMain::ColourField_MouseDown(ColourFieldId f)
{
    m_colourFields->RememberSelStart(f);
}

void frmMain::ColourField_Validate(ColourFieldId f)
{
    m_colourFields->Validate(f);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    ColourFieldId f = ColourFieldId::Dec;
    if (FindField(watched, &f)) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            // Entering a field selects it all; coming back from another window or from the
            // field's own menu is no entering.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                ColourField_GotFocus(f);
            break;
        }
        case QEvent::FocusOut: {
            // Only a move to another control of this window validates. The toolkit has already
            // moved the focus on; the field being left still counts as the active control while
            // its normal form is written, and that happens before the next field is entered.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            QWidget *next = QApplication::focusWidget();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next
                && next != watched && next->window() == this)
                ColourField_Validate(f);
            break;
        }
        case QEvent::KeyPress:
            ColourField_KeyPress(f);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            ColourField_MouseDown(f);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QLineEdit *frmMain::FieldControl(ColourFieldId f) const
{
    switch (f) {
    case ColourFieldId::Dec:
        return txtDec;
    case ColourFieldId::Hex:
        return txtHex;
    case ColourFieldId::R:
        return txtR;
    case ColourFieldId::G:
        return txtG;
    case ColourFieldId::B:
        return txtB;
    }
    return txtDec;
}

bool frmMain::FindField(const QObject *object, ColourFieldId *f) const
{
    for (ColourFieldId candidate : {ColourFieldId::Dec, ColourFieldId::Hex, ColourFieldId::R, ColourFieldId::G, ColourFieldId::B}) {
        if (FieldControl(candidate) == object) {
            *f = candidate;
            return true;
        }
    }
    return false;
}

QString frmMain::Text(ColourFieldId f) const
{
    return FieldControl(f)->text();
}

void frmMain::SetText(ColourFieldId f, const QString &text)
{
    // A different text emits textChanged at once, which runs the field's change handling nested
    // in this call; the same text emits nothing.
    FieldControl(f)->setText(text);
}

qint32 frmMain::SelStart(ColourFieldId f) const
{
    const QLineEdit *field = FieldControl(f);
    return field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
}

void frmMain::SetSelStart(ColourFieldId f, qint32 position)
{
    FieldControl(f)->setCursorPosition(position);
}

bool frmMain::IsActiveControl(ColourFieldId f) const
{
    return focusWidget() == FieldControl(f);
}

void frmMain::SetColourBoxColour(qint32 colour)
{
    picColour->SetBackColor(QColor(PixelOf(colour)));
    // The box says its colour; the change reaches a screen reader as a new name.
    const ColourComponents c = SplitColour(colour);
    picColour->setAccessibleName(HexText(c.R, c.G, c.B));
}
