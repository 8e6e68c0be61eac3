// The monitor selection dialog: a scaled map of the monitors; a click picks one or all of them.
#include "monitors/frmMonitor.h"

#include "base/Cursors.h"
#include "base/RuntimeError.h"
#include "localisation/LocalizeForm.h"
#include "localisation/mdlI18n.h"
#include "monitors/CentreDialog.h"
#include "monitors/MonitorMapLayout.h"
#include "monitors/mdlWindow.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

#include <exception>
#include <functional>

namespace {
constexpr double DesignFontPointSize = 8.0;
constexpr double SmallestFontPointSize = 6.0; // still legible; smaller boxes split their caption

// The desktop has no colour roles of its own in Qt: the virtual screen takes the palette's dark
// shade, as a workspace behind windows does, and the monitors the selection colour; both carry
// their captions in the selection's text colour, which reads on either.
void PaintBox(QLabel *box, QPalette::ColorRole background)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, palette.color(background));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setLineWidth(1);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setWordWrap(true);
    box->setCursor(Cursors::PointingHand());
    box->setFocusPolicy(Qt::NoFocus);
}

// A monitor's caption, whole in its box: smaller or on two lines where the box is small, and in
// full as the box's tool tip.
void ShowCaption(QLabel *box, const QString &caption)
{
    const auto measure = [box](const QStringList &lines, double pointSize) {
        QFont font = box->font();
        font.setPointSizeF(pointSize);
        const QFontMetricsF metrics(font);
        // A framed label keeps half an x from its left and top edges.
        const double indent = metrics.horizontalAdvance(QLatin1Char('x')) / 2;
        double width = 0;
        for (const QString &line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        return QSizeF(indent + std::ceil(width), indent + metrics.height() + (lines.size() - 1) * metrics.lineSpacing());
    };
    const MonitorMapLayout::CaptionFit fit = MonitorMapLayout::FitCaption(
        caption, box->contentsRect().size(), DesignFontPointSize, SmallestFontPointSize, measure);
    QFont font = box->font();
    font.setPointSizeF(fit.PointSize);
    box->setFont(font);
    box->setWordWrap(false); // the lines are broken where they should be
    box->setText(fit.Text);
    box->setToolTip(caption);
}
}

frmMonitor::frmMonitor(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    using MonitorMapLayout::ToPixels;

    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(QString::fromUtf8(MonitorMapLayout::DialogCaptionText.german));
    QFont dialogFont = font();
    dialogFont.setPointSizeF(DesignFontPointSize);
    setFont(dialogFont);
    setFixedSize(ToPixels(MonitorMapLayout::DesignClientArea.Width), ToPixels(MonitorMapLayout::DesignClientArea.Height));

    lblDesktop = new QLabel(QStringLiteral("VirtualScreen"), this);
    lblDesktop->setObjectName(QStringLiteral("lblDesktop"));
    lblDesktop->setProperty("Tag", QStringLiteral("NOLOC"));
    lblDesktop->setGeometry(ToPixels(MonitorMapLayout::DesignDesktop));
    PaintBox(lblDesktop, QPalette::Dark);
    lblDesktop->installEventFilter(this);

    QLabel *first = NewMonitorBox(0);
    first->setProperty("Tag", QStringLiteral("NOLOC"));
    first->hide();
}

QLabel *frmMonitor::NewMonitorBox(int index)
{
    auto *box = new QLabel(QStringLiteral("Monitor"), this);
    box->setObjectName(QStringLiteral("lblMonitor"));
    box->setProperty("Index", index);
    box->setGeometry(MonitorMapLayout::ToPixels(MonitorMapLayout::DesignMonitor));
    PaintBox(box, QPalette::Highlight);
    box->installEventFilter(this);
    lblMonitor.append(box);
    return box;
}

qint32 frmMonitor::ShowDlg(QWidget *frmParent)
{
    SelectedMonitor = 0;
    if (frmParent && parentWidget() != frmParent)
        setParent(frmParent, windowFlags());
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    CentreDialogOverOwner(this, parentWidget());
    exec();
    return SelectedMonitor;
}

void frmMonitor::Form_Load()
{
    // One read of the language file for this window's texts, and at most one write.
    const mdlI18n::TextBatch texts;
    using MonitorMapLayout::ToPixels;

    Guarded([this] { setWindowTitle(mdlI18n::GetLngText(objectName(), QStringLiteral("Caption"), windowTitle())); });
    Guarded([this] { mdlI18n::LocalizeForm(this); });

    ScreenRect vs;
    QList<MonitorMapLayout::MonitorEntry> monitors;
    Guarded([&] { vs = mdlWindow::GetVirtualScreenRect(); });
    Guarded([&] {
        for (MonitorHandle handle : mdlWindow::EnumMonitors())
            monitors.append({handle, mdlWindow::GetMonitorRect(handle)});
    });
    const MonitorMapLayout::MonitorMap map = MonitorMapLayout::LayOut(vs, monitors);

    Guarded([&] { lblDesktop->setGeometry(ToPixels(map.Desktop)); });
    Guarded([&] { lblDesktop->setText(map.DesktopCaption); });
    Guarded([&] { setFixedSize(ToPixels(map.ClientWidth), ToPixels(map.ClientHeight)); });

    for (int n = 0; n < map.Boxes.size(); ++n) {
        const MonitorMapLayout::MonitorBox &entry = map.Boxes[n];
        QLabel *box = n < lblMonitor.size() ? lblMonitor[n] : NewMonitorBox(n);
        Guarded([&] { box->setGeometry(ToPixels(entry.Geometry)); });
        ShowCaption(box, entry.Caption);
        box->show();
        box->raise();
        box->setProperty("Tag", QString::number(entry.Handle));
    }
}

bool frmMonitor::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLabel *>(watched);
    if (!box || (box != lblDesktop && !lblMonitor.contains(box)))
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_pressed = box;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool click = mouse->button() == Qt::LeftButton && m_pressed == box
            && box->rect().contains(mouse->position().toPoint());
        m_pressed = nullptr;
        if (click) {
            if (box == lblDesktop)
                lblDesktop_Click();
            else
                lblMonitor_Click(box->property("Index").toInt());
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMonitor::lblDesktop_Click()
{
    SelectedMonitor = 0;
    hide();
}

void frmMonitor::lblMonitor_Click(int index)
{
    // A box whose tag is not a number leaves the choice at the whole virtual screen.
    if (QLabel *box = lblMonitor.value(index)) {
        bool ok = false;
        const qint32 handle = box->property("Tag").toString().toInt(&ok);
        if (ok)
            SelectedMonitor = handle;
    }
    hide();
}

void frmMonitor::closeEvent(QCloseEvent *event)
{
    // The user closing the window (close box, window menu, Alt+F4) chooses the whole virtual
    // screen and only hides the dialog; a close from the program goes through as usual.
    if (event->spontaneous()) {
        event->ignore();
        SelectedMonitor = 0;
        hide();
        return;
    }
    QDialog::closeEvent(event);
}
