// The main window's screenshot commands: the delayed desktop and window captures, the hand that
// is dragged onto a window, and where every capture goes.
#include "app/frmMain.h"

#include "base/Cursors.h"
#include "app/HandleKeys.h"
#include "app/MessageBoxes.h"
#include "app/PictureBox.h"
#include "base/RuntimeError.h"
#include "capture/CaptureOutput.h"
#include "capture/CaptureSteps.h"
#include "capture/mdlCapture.h"
#include "capture/mdlFileDialog.h"
#include "localisation/mdlTools.h"
#include "monitors/frmMonitor.h"
#include "monitors/mdlWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {
// How long the windows beneath may take to show themselves once this window is hidden. A busy
// window manager can take more than a second to unmap the frame; until then the point still lies
// on this window, and the copy would show it or miss the window that was meant.
constexpr int UncoverTimeoutMs = 5000;
}

void frmMain::WireCaptureCommands()
{
    Timer3->setSingleShot(true);
    connect(cmdDesktop, &QPushButton::clicked, this, &frmMain::cmdDesktop_Click);
    connect(cmdWindow, &QPushButton::clicked, this, &frmMain::cmdWindow_Click);
    connect(Timer3, &QTimer::timeout, this, &frmMain::Timer3_Timer);
    connect(Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(picCursorScreen, &PictureBox::MouseDown, this, [this] { picCursorScreen_MouseDown(); });
    connect(picCursorScreen, &PictureBox::MouseUp, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers shift) { picCursorScreen_MouseUp(shift); });
    connect(picCursorScreen, &PictureBox::KeyDown, this, &frmMain::picCursorScreen_KeyDown);
}

void frmMain::cmdDesktop_Click()
{
    SetAlwaysOnTop(static_cast<WindowHandle>(winId()), false);
    CaptureMonitorHandle = 0;
    if (mdlWindow::GetMonitorCount() > 1) {
        // Created for this choice and gone with it.
        auto dialog = std::make_unique<frmMonitor>(this);
        CaptureMonitorHandle = dialog->ShowDlg(this);
    }
    MessageBoxes::ShowNotice(this, CaptureScreenNotice);
    hide();
    CaptureActiveWindow = false;
    Timer3->start(); // the two seconds run from the closing of the notice
}

void frmMain::cmdWindow_Click()
{
    SetAlwaysOnTop(static_cast<WindowHandle>(winId()), false);
    const bool inDialog = CurrentPlatform().WindowCopies() == Platform::WindowCopyWay::InDesktopDialog;
    MessageBoxes::ShowNotice(this, inDialog ? CaptureWindowDialogNotice : CaptureWindowNotice);
    hide();
    CaptureActiveWindow = true;
    Timer3->start();
}

void frmMain::Timer3_Timer()
{
    Timer3->stop();
    try {
        const QImage picture = CaptureSteps::TakeDelayedCapture(CaptureActiveWindow, CaptureMonitorHandle);
        ShowOnTop();
        DeliverCapture(picture);
    } catch (const RuntimeError &error) {
        MessageBoxes::ShowStandardError(this, error);
    }
    ShowAgain();
}

void frmMain::picCursorScreen_MouseDown()
{
    if (m_draggingHand || m_picking)
        return;
    m_draggingHand = true;
    BeginHandleDrag(picCursorScreen, Cursors::PointingHand(devicePixelRatioF()));
    // Only where the program finds windows itself can it show them during the drag.
    if (CurrentPlatform().WindowCopies() != Platform::WindowCopyWay::InDesktopDialog)
        Timer2->start();
}

void frmMain::picCursorScreen_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (HandleKey(DragHandle::Hand, m_draggingHand, key, shift) == HandleKeyAction::Start)
        picCursorScreen_MouseDown();
}

void frmMain::CancelHandDrag()
{
    if (!m_draggingHand)
        return;
    m_draggingHand = false;
    Timer2->stop();
    EndHandleDrag(picCursorScreen);
}

void frmMain::Timer2_Timer()
{
    // A preview that fails ends its tick quietly; the next tick tries again.
    try {
        const QPoint p = CurrentPlatform().CursorPos();
        if (CaptureSteps::IsWindowAt(p, static_cast<WindowHandle>(winId())))
            return;
        const QImage preview = mdlCapture::GrabWindowAtPoint(p.x(), p.y(), false, false);
        // The copy lets pending events run: a release handled in the meantime has ended the
        // drag and shown its capture, which this late preview must not cover.
        if (m_draggingHand)
            ShowPictureFitted(preview);
    } catch (const RuntimeError &) {
    }
}

void frmMain::picCursorScreen_MouseUp(Qt::KeyboardModifiers shift)
{
    if (!m_draggingHand)
        return;
    m_draggingHand = false;
    if (CurrentPlatform().WindowCopies() == Platform::WindowCopyWay::InDesktopDialog) {
        CaptureWindowPickedOnDesktop();
        return;
    }
    const bool ctrl = shift & Qt::ControlModifier;
    try {
        Timer2->stop();
        // Where the drag ends, read while it still holds the pointer: on Xwayland a pointer that
        // only the keys moved goes back to the desktop's own once the drag lets it go.
        Platform &platform = CurrentPlatform();
        const QPoint p = platform.CursorPos();
        EndHandleDrag(picCursorScreen);
        if (!ctrl)
            platform.SetCursorPos(HandleCentreOnScreen(picCursorScreen));
        SetAlwaysOnTop(static_cast<WindowHandle>(winId()), false);
        hide();
        WaitUntilUncovered(p);
        // With Ctrl the window comes to the front first, and the pointer stays where it was.
        const QImage picture = mdlCapture::GrabWindowAtPoint(p.x(), p.y(), true, ctrl);
        ShowOnTop();
        platform.SetCursorPos(p);
        DeliverCapture(picture);
    } catch (const RuntimeError &error) {
        MessageBoxes::ShowStandardError(this, error);
    }
    ShowAgain();
}

void frmMain::CaptureWindowPickedOnDesktop()
{
    // The desktop does not say which window lies under the hand: the user points at it once
    // more, in the desktop's own dialog.
    try {
        EndHandleDrag(picCursorScreen);
        SetAlwaysOnTop(static_cast<WindowHandle>(winId()), false);
        MessageBoxes::ShowNotice(this, CaptureWindowDialogNotice);
        hide();
        const QPoint p = CurrentPlatform().CursorPos();
        const QImage picture = mdlCapture::GrabWindowAtPoint(p.x(), p.y(), true, false);
        ShowOnTop();
        DeliverCapture(picture);
    } catch (const RuntimeError &error) {
        MessageBoxes::ShowStandardError(this, error);
    }
    ShowAgain();
}

void frmMain::DeliverCapture(const QImage &picture)
{
    // An empty capture would leave an empty clipboard or no file without a word: say so instead.
    CaptureSteps::RequirePicture(picture);
    ShowPictureFitted(picture);
    if (optClipboard->isChecked()) {
        CaptureOutput::PutOnClipboard(picture);
        return;
    }
    // BMP first and chosen at the start; PNG beside it.
    const QString filter = mdlFileDialog::BuildDialogFilter(
        {SaveFilterText + QStringLiteral(" (*.bmp)"), QStringLiteral("*.bmp"),
         SavePngFilterText + QStringLiteral(" (*.png)"), QStringLiteral("*.png")});
    qint32 flags = 0;
    qint32 filterIndex = 1;
    const QString path = mdlFileDialog::ShowSaveDialog(flags, LastSaveFolder, filter, filterIndex,
                                                       QStringLiteral("bmp"), QString(), QString(), this);
    if (path.isEmpty())
        return;
    LastSaveFolder = mdlTools::GetFolderPart(path);
    const auto chosen = filterIndex == 2 ? CaptureOutput::FileType::Png : CaptureOutput::FileType::Bitmap;
    CaptureOutput::WriteCaptureFile(picture, path, CaptureOutput::FileTypeFor(path, chosen));
}

void frmMain::ShowOnTop()
{
    ShowAgain();
    SetAlwaysOnTop(static_cast<WindowHandle>(winId()), true);
}

void frmMain::ShowAgain()
{
    show();
    // Hidden and shown again within the moment in which the toolkit waits for the keyboard to
    // come back (the hand's capture is that quick), the window keeps the keyboard as far as the
    // desktop goes, but its controls were told on hiding that it lost it and are never told
    // otherwise: the fields would take keys without a caret, and access keys would move the
    // focus without selecting the text.
    if (QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this)
        QApplication::setActiveWindow(this);
}

QPoint frmMain::HandleCentreOnScreen(const QWidget *handle) const
{
    // The client area in device pixels, and the handle inside it scaled the same way.
    const ScreenRect client = CurrentPlatform().ClientRect(static_cast<WindowHandle>(winId()));
    const double ratio = devicePixelRatioF();
    const QRect inWindow(handle->mapTo(this, QPoint(0, 0)), handle->size());
    const QRectF scaled(inWindow.x() * ratio, inWindow.y() * ratio, inWindow.width() * ratio,
                        inWindow.height() * ratio);
    ScreenRect r;
    r.Left = client.Left + qint32(scaled.left());
    r.Top = client.Top + qint32(scaled.top());
    r.Right = client.Left + qint32(scaled.right());
    r.Bottom = client.Top + qint32(scaled.bottom());
    r.Width = r.Right - r.Left;
    r.Height = r.Bottom - r.Top;
    return CaptureSteps::Centre(r);
}

void frmMain::WaitUntilUncovered(QPoint p)
{
    // The windows beneath must be on the screen again before anything is copied there: wait
    // until this window no longer lies at p and its frame has gone too (a copy of the whole
    // desktop would show it), letting pending events run meanwhile.
    const WindowHandle own = static_cast<WindowHandle>(winId());
    Platform &platform = CurrentPlatform();
    QDeadlineTimer deadline(UncoverTimeoutMs);
    do {
        QCoreApplication::processEvents();
        if (!CaptureSteps::IsWindowAt(p, own) && !platform.IsWindowShown(own))
            return;
        QThread::msleep(5);
    } while (!deadline.hasExpired());
}
