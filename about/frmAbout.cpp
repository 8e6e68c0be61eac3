// The About box: product, version, maker's data, legal notice and the system information button.
#include "about/frmAbout.h"

#include "about/AboutLinks.h"
#include "about/MakerData.h"
#include "about/SysInfoLauncher.h"
#include "about/TabKeys.h"
#include "base/Cursors.h"
#include "base/LocalText.h"
#include "base/Twips.h"
#include "base/Version.h"
#include "localisation/LocalizeForm.h"
#include "localisation/mdlI18n.h"
#include "monitors/CentreDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QUrl>

namespace {
constexpr int kPanelLeftShown = 210;
constexpr int kPanelLeftParked = -20000;
const QColor kLinkColour(128, 0, 0);
// The version line, %1 the version (its label keeps the text out of the walk over the controls).
constexpr LocalText VersionLineText{"frmAbout", "strVersion", "Version %1"};

frmAbout::AddressOpener &TestOpener()
{
    static frmAbout::AddressOpener opener;
    return opener;
}

// A filled rectangle standing in for the design's lines and shapes.
QWidget *AddFilledRect(QWidget *parent, const char *name, const QRect &rect, const QColor &colour)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(rect);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}
}

QList<LocalText> frmAbout::Texts()
{
    return {VersionLineText};
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Info"));
    QFont formFont = QApplication::font();
    formFont.setPointSizeF(8);
    setFont(formFont);
    setFixedSize(TwipsToPixels(5430), TwipsToPixels(5070));

    CreateControls();

    // Ctrl+Tab must switch pages whichever control has the focus, so every control's keys pass
    // through the form first.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    Form_Load();
    // Opens on "Anwendung"; the other page is parked and disabled like any page not chosen.
    tbsAbout_Click();
}

void frmAbout::SetAddressOpenerForTesting(AddressOpener opener)
{
    TestOpener() = std::move(opener);
}

QLabel *frmAbout::AddLabel(QWidget *parent, const char *name, const QString &caption, int left, int top,
                           int width, int height, qreal pointSize, bool bold, bool noLoc)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(TwipsRect(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (pointSize > 0) {
        QFont f = QApplication::font();
        f.setPointSizeF(pointSize);
        f.setBold(bold);
        label->setFont(f);
    }
    if (noLoc)
        label->setProperty("Tag", QStringLiteral("NOLOC"));
    return label;
}

void frmAbout::CreateControls()
{
    tbsAbout = new QTabBar(this);
    tbsAbout->setObjectName(QStringLiteral("tbsAbout"));
    tbsAbout->setDrawBase(false);
    tbsAbout->setExpanding(false);
    tbsAbout->setTabData(tbsAbout->addTab(QStringLiteral("Anwendung")), QStringLiteral("Application"));
    tbsAbout->setTabData(tbsAbout->addTab(QStringLiteral("Autor")), QStringLiteral("Author"));
    const QRect strip = TwipsRect(120, 120, 5175, 3705);
    // The whole strip's width, so that longer captions from the language file still fit.
    tbsAbout->setGeometry(strip.left() + 2, strip.top(), strip.width() - 4, tbsAbout->sizeHint().height());

    // Panel of "Anwendung".
    picAbout[0] = new QWidget(this);
    picAbout[0]->setObjectName(QStringLiteral("picAbout0"));
    picAbout[0]->setGeometry(TwipsRect(210, 520, 4965, 3180));
    lblTitle = AddLabel(picAbout[0], "lblTitle", QStringLiteral("Anwendungstitel"), 240, 360, 4095, 480, 12, true, false);
    lblVersion = AddLabel(picAbout[0], "lblVersion", QStringLiteral("Version"), 240, 900, 4095, 225, 9.75, true, true);
    lblDescription = AddLabel(picAbout[0], "lblDescription", QStringLiteral("Anwendungsbeschreibung"), 240, 1320,
                              4695, 1770, 9.75, false, false);
    lblDescription->setWordWrap(true);

    // Panel of "Autor", parked out of sight until its tab is chosen.
    picAbout[1] = new QWidget(this);
    picAbout[1]->setObjectName(QStringLiteral("picAbout1"));
    picAbout[1]->setGeometry(TwipsRect(-19882, 520, 4965, 3180));
    QWidget *author = picAbout[1];
    AddFilledRect(author, "Shape1", TwipsRect(0, 0, 4950, 3180), Qt::white);
    const char *nameLabels[3] = {"Label1", "Label2", "Label3"};
    for (int i = 0; i < 3; ++i)
        AddLabel(author, nameLabels[i], QString::fromUtf8(MakerData::NameLines[i]), 2280, 120 + 240 * i, 2535, 255,
                 9.75, true, true);
    // Line2: 3 pixels wide, centred on its design row.
    AddFilledRect(author, "Line2", QRect(0, TwipsToPixels(960) - 1, TwipsToPixels(4920), 3), kLinkColour);
    // The link and mail labels are wider than designed: the desktop font runs wider.
    const char *linkLabels[2] = {"lblLink1", "lblLink2"};
    for (int i = 0; i < 2; ++i)
        lblLink[i] = AddLabel(author, linkLabels[i], QString::fromUtf8(MakerData::WebHosts[i]), 240, 1200 + 240 * i,
                              2280, 255, 9.75, true, true);
    const char *addressLabels[3] = {"Label11", "Label12", "Label13"};
    const int addressWidths[3] = {1590, 1815, 1815};
    for (int i = 0; i < 3; ++i)
        AddLabel(author, addressLabels[i], QString::fromUtf8(MakerData::AddressLines[i]), 240, 2280 + 240 * i,
                 addressWidths[i], 255, 8.25, false, true);
    AddLabel(author, "Label4", QStringLiteral("telefon"), 3240, 1200, 1590, 255, 8.25, true, true);
    AddLabel(author, "Label5", QString::fromUtf8(MakerData::Telephone), 3240, 1440, 1590, 255, 8.25, false, true);
    AddLabel(author, "Label6", QStringLiteral("telefax"), 3240, 1680, 1590, 255, 8.25, true, true);
    AddLabel(author, "Label7", QString::fromUtf8(MakerData::Fax), 3240, 1920, 1590, 255, 8.25, false, true);
    AddLabel(author, "Label8", QStringLiteral("e-mail"), 3240, 2280, 1590, 255, 8.25, true, true);
    const char *mailLabels[2] = {"lblMail1", "lblMail2"};
    for (int i = 0; i < 2; ++i)
        lblMail[i] = AddLabel(author, mailLabels[i], QString::fromUtf8(MakerData::MailAddresses[i]), 3240,
                              2520 + 240 * i, 1680, 255, 8.25, false, true);

    for (QLabel *label : author->findChildren<QLabel *>()) {
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Base);
        label->setForegroundRole(QPalette::Text);
    }
    for (QLabel *label : {lblLink[0], lblLink[1], lblMail[0], lblMail[1]}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::Text, kLinkColour);
        label->setPalette(pal);
        label->setCursor(Cursors::PointingHand());
    }

    // Etched separator above the legal notice.
    AddFilledRect(this, "Line1", QRect(-1, TwipsToPixels(3990), TwipsToPixels(5417) + 1, 1), QColor(128, 128, 128));
    AddFilledRect(this, "Line1", QRect(0, TwipsToPixels(4005), TwipsToPixels(5417), 2), Qt::white);

    lblDisclaimer = AddLabel(this, "lblDisclaimer", QStringLiteral("Warnung: ..."), 120, 4185, 3255, 825, 0, false, true);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Both buttons are wider than designed, for "System-Info..." in the desktop font.
    cmdOK->setGeometry(TwipsRect(4020, 4080, 1275, 375));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System-Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(TwipsRect(4020, 4560, 1275, 375));

    setTabOrder(tbsAbout, cmdOK);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    connect(tbsAbout, &QTabBar::currentChanged, this, [this] { tbsAbout_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });
}

void frmAbout::Form_Load()
{
    // One read of the language file for this window's texts, and at most one write.
    const mdlI18n::TextBatch texts;
    const QString product = Version::ProductName();
    setWindowTitle(QStringLiteral("Info über ") + product);
    lblTitle->setText(product);
    lblDisclaimer->setText(Version::LegalNotice());
    lblDescription->setText(Version::FileDescription());
    setWindowTitle(mdlI18n::GetLngText(objectName(), QStringLiteral("Caption"), windowTitle()));
    mdlI18n::LocalizeForm(this);
    lblVersion->setText(Localised(VersionLineText).arg(Version::VersionText()));
}

void frmAbout::tbsAbout_Click()
{
    const int selected = tbsAbout->currentIndex();
    for (int i = 0; i < tbsAbout->count(); ++i) {
        QWidget *panel = picAbout[static_cast<size_t>(i)];
        const bool shown = (i == selected);
        panel->move(TwipsToPixels(shown ? kPanelLeftShown : kPanelLeftParked), panel->y());
        panel->setEnabled(shown);
    }
}

bool frmAbout::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const int next = TabKeys::TabAfterKey(key, modifiers, tbsAbout->currentIndex(), tbsAbout->count());
    if (next < 0)
        return false;
    tbsAbout->setCurrentIndex(next);
    return true;
}

void frmAbout::OpenAddress(const QString &address)
{
    if (TestOpener())
        TestOpener()(address);
    else
        QDesktopServices::openUrl(QUrl(address));
}

void frmAbout::lblLink_Click(int index)
{
    OpenAddress(AboutLinks::WebAddress(QString::fromUtf8(MakerData::WebHosts[index])));
}

void frmAbout::lblMail_Click(int index)
{
    OpenAddress(AboutLinks::MailAddress(QString::fromUtf8(MakerData::MailAddresses[index]), Version::ProductName()));
}

void frmAbout::StartSysInfo()
{
    SysInfoLauncher::Start();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Consumed, so that the parents the key would travel on to do not switch again.
        if (Form_KeyDown(key->key(), key->modifiers()))
            return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isEnabled() && mouse->button() == Qt::LeftButton
            && widget->rect().contains(mouse->position().toPoint())) {
            for (int i = 0; i < 2; ++i) {
                if (watched == lblLink[static_cast<size_t>(i)])
                    lblLink_Click(i);
                else if (watched == lblMail[static_cast<size_t>(i)])
                    lblMail_Click(i);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::showEvent(QShowEvent *event)
{
    // Qt's own placement sits a title bar too high.
    if (!event->spontaneous())
        CentreDialogOverOwner(this, parentWidget());
    QDialog::showEvent(event);
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The tab strip's page frame below the tabs, as a tab widget draws it.
    const QRect strip = TwipsRect(120, 120, 5175, 3705);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = tbsAbout->size();
    option.tabBarRect = tbsAbout->geometry();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    option.rect = QRect(strip.left(), tbsAbout->geometry().bottom() + 1 - overlap, strip.width(),
                        strip.bottom() + 1 - (tbsAbout->geometry().bottom() + 1 - overlap));
    QStylePainter painter(this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}
