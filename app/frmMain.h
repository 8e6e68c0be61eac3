// The main window: colour picker, colour fields, screenshot commands.
#pragma once

#include "platform/Platform.h"

#include <QString>
#include <QWidget>

class PictureBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // Helpers the window's parts share.
    qint32 SetAlwaysOnTop(WindowHandle hWnd, bool on);
    void ShowPictureFitted(const QImage &picture);
    static void SelectAllText(QLineEdit *box);

private:
    void CreateControls();
    void Form_Load();

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
    QString CaptureWindowNotice;
    QString CaptureScreenNotice;
    QString LastSaveFolder;
    bool CaptureActiveWindow = false;
    MonitorHandle CaptureMonitorHandle = 0;
};
