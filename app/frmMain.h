// The main window: colour picker, colour fields, screenshot commands.
#pragma once

#include "app/ColourFields.h"
#include "app/ColourPicker.h"
#include "platform/Platform.h"

#include <QString>
#include <QWidget>

#include <memory>

class PictureBox;
class QGroupBox;
class QCursor;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

class frmMain : public QWidget, private ColourFieldControls
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // Helpers the window's parts share.
    qint32 SetAlwaysOnTop(WindowHandle hWnd, bool on);
    void ShowPictureFitted(const QImage &picture);
    static void SelectAllText(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void Form_Load();
    void DescribeForScreenReaders();
    void cmdAbout_Click();

    // Colour fields
    void WireColourFields();
    void txtDec_Change();
    void txtHex_Change();
    void txtR_Change();
    void txtG_Change();
    void txtB_Change();
    // GotFocus, KeyPress, MouseDown and Validate are alike for the five fields.
    void ColourField_GotFocus(ColourFieldId f);
    void ColourField_KeyPress(ColourFieldId f);
    void ColourField_MouseDown(ColourFieldId f);
    void ColourField_Validate(ColourFieldId f);
    QLineEdit *FieldControl(ColourFieldId f) const;
    bool FindField(const QObject *object, ColourFieldId *f) const;

    // Colour picker
    void WireColourPicker();
    void picCursor_MouseDown();
    void picCursor_MouseUp();
    void picCursor_KeyDown(int key, Qt::KeyboardModifiers shift);
    bool DragKeyDown(int key, Qt::KeyboardModifiers shift);
    void Timer1_Timer();
    void PickerSampleShown(const RuntimeError *error);
    void EndPicking();
    bool FreezeScreenForPicking();
    bool PickColourOnDesktop();
    void MovePointerByKey(int key, bool shift);

    // Both handles are dragged alike: hidden, holding the mouse, their image as the pointer.
    void BeginHandleDrag(PictureBox *handle, const QCursor &pointer);
    void EndHandleDrag(PictureBox *handle);

    // Screenshots
    void WireCaptureCommands();
    void cmdDesktop_Click();
    void cmdWindow_Click();
    void Timer3_Timer();
    void picCursorScreen_MouseDown();
    void Timer2_Timer();
    void picCursorScreen_MouseUp(Qt::KeyboardModifiers shift);
    void picCursorScreen_KeyDown(int key, Qt::KeyboardModifiers shift);
    void CancelHandDrag();
    void CaptureWindowPickedOnDesktop();
    void DeliverCapture(const QImage &picture);
    void ShowOnTop();
    void ShowAgain();
    QPoint HandleCentreOnScreen(const QWidget *handle) const;
    void WaitUntilUncovered(QPoint p);

    // The fields as the synchronisation sees them.
    QString Text(ColourFieldId f) const override;
    void SetText(ColourFieldId f, const QString &text) override;
    qint32 SelStart(ColourFieldId f) const override;
    void SetSelStart(ColourFieldId f, qint32 position) override;
    bool IsActiveControl(ColourFieldId f) const override;
    void SetColourBoxColour(qint32 colour) override;

    // Colour picker and colour fields
    QLabel *lblDez = nullptr;
    QLineEdit *txtDec = nullptr;
    QLabel *lblHex = nullptr;
    QLineEdit *txtHex = nullptr;
    QLabel *lblR = nullptr;
    QLineEdit *txtR = nullptr;
    QLabel *lblG = nullptr;
    QLineEdit *txtG = nullptr;
    QLabel *lblB = nullptr;
    QLineEdit *txtB = nullptr;
    PictureBox *picColour = nullptr;
    PictureBox *picCursor = nullptr;
    PictureBox *picZoom = nullptr;
    QPushButton *cmdAbout = nullptr;
    QTimer *Timer1 = nullptr;

    // Screenshots
    QGroupBox *fraScreenShot = nullptr;
    QPushButton *cmdWindow = nullptr;
    QPushButton *cmdDesktop = nullptr;
    QRadioButton *optClipboard = nullptr;
    QRadioButton *optFile = nullptr;
    PictureBox *picCursorScreen = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;

    // Form-level state
    qint32 LastSelStart = 0;
    QString SaveFilterText;
    QString SavePngFilterText;
    QString CaptureWindowNotice;
    QString CaptureScreenNotice;
    QString CaptureWindowDialogNotice;  // where the user picks windows in the desktop's own dialog
    QString LastSaveFolder;
    bool CaptureActiveWindow = false;
    MonitorHandle CaptureMonitorHandle = 0;

    std::unique_ptr<ColourFields> m_colourFields;
    std::unique_ptr<ColourPicker> m_colourPicker;
    std::unique_ptr<QObject> m_dragKeys; // arrow keys and the ending keys while a handle is dragged
    std::unique_ptr<QObject> m_modalDialogs; // keeps the dialogs opened from here on the screen
    bool m_picking = false;
    bool m_draggingHand = false;
    int m_samplesThisDrag = 0;
};
