// The main window's handlers on a fake desktop: the colour fields' keys and the eyedropper; the
// language file of its first start.
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "about/frmAbout.h"
#include "base/ErrorTexts.h"
#include "capture/mdlFileDialog.h"
#include "localisation/ProfileText.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "base/RuntimeError.h"
#include "monitors/MonitorMapLayout.h"
#include "platform/DisplayCheck.h"
#include "support/FakeDesktop.h"
#include "support/ModalWatcher.h"
#include "support/TestFiles.h"

#include <QtWidgets>
#include <QtTest>

class frmMainHandlersTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeDesktop m_desktop;
    std::unique_ptr<frmMain> m_window;

    template <typename T = QWidget>
    T *Control(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    QStringList Fields() const
    {
        QStringList texts;
        for (const char *name : {"txtDec", "txtHex", "txtR", "txtG", "txtB"})
            texts << Control<QLineEdit>(name)->text();
        return texts;
    }
    void Keys(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(QApplication::focusWidget(), key, modifiers); }

private Q_SLOTS:
    void initTestCase()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_desktop.AddMonitor(QRect(0, 0, 100, 100));
        m_desktop.screen = QImage(100, 100, QImage::Format_RGB32);
        m_desktop.screen.fill(qRgb(16, 32, 48));
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // The first start writes every text: the About box's too, the monitor map's captions, the save
    // dialog's file types, each message, in the built-in German, after the main window's own.
    void firstStartWritesEveryText()
    {
        ProfileText::Document file(ReadBytes(mdlI18n::LanguageFile().Path()));
        QCOMPARE(file.SectionNames(), (QStringList{"frmMain", "frmAbout", "frmMonitor", "Messages"}));
        for (const LocalText &text : ErrorLocalTexts() + DisplayCheck::Texts() + MonitorMapLayout::Texts() + mdlFileDialog::Texts()
                                        + frmAbout::Texts())
            QVERIFY2(file.Value(QString::fromLatin1(text.section), QString::fromLatin1(text.key)) == QString::fromUtf8(text.german), text.key);
    }

    void typingKeepsTheFieldsInStep()
    {
        for (const auto &[key, field] : QList<std::pair<Qt::Key, const char *>>{
                 {Qt::Key_G, "txtG"}, {Qt::Key_B, "txtB"}, {Qt::Key_X, "txtHex"}, {Qt::Key_D, "txtDec"}, {Qt::Key_R, "txtR"}}) {
            Key(key, Qt::AltModifier);  // each caption's access key enters its field, all selected
            QCOMPARE(QApplication::focusWidget(), Control(field));
            QCOMPARE(Control<QLineEdit>(field)->selectedText(), Control<QLineEdit>(field)->text());
        }
        Keys(QStringLiteral("25"));
        QCOMPARE(Fields(), (QStringList{"25", "#190000", "25", "0", "0"}));
        Key(Qt::Key_Home);
        Key(Qt::Key_Right);
        Keys(QStringLiteral("9"));  // 295 is refused; the caret goes back where the key was pressed
        QCOMPARE(Control<QLineEdit>("txtR")->text(), QStringLiteral("25"));
        QCOMPARE(Control<QLineEdit>("txtR")->cursorPosition(), 1);
        Key(Qt::Key_X, Qt::AltModifier);
        Keys(QStringLiteral("ff8800"));
        Key(Qt::Key_Tab);
        QCOMPARE(Fields(), (QStringList{"35071", "#FF8800", "255", "136", "0"}));
        QCOMPARE(QApplication::focusWidget(), Control("txtR"));
        QCOMPARE(Control<PictureBox>("picColour")->BackColor(), QColor(255, 136, 0));
        Key(Qt::Key_Backspace);  // emptied and left: 0
        Key(Qt::Key_Tab);
        QCOMPARE(Fields(), (QStringList{"34816", "#008800", "0", "136", "0"}));
    }

    // A click shorter than one tick still samples. The arrow keys move the pointer meanwhile, ten
    // pixels with Shift, never off the screen.
    void eyedropperClickSamples()
    {
        Control<QTimer>("Timer1")->setInterval(3600000);
        auto *picCursor = Control("picCursor");
        m_desktop.cursor = QPoint(5, 50);
        QTest::mousePress(picCursor, Qt::LeftButton);
        QVERIFY(!picCursor->isVisible());
        QTest::keyClick(m_window.get(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(m_window.get(), Qt::Key_Right);
        QCOMPARE(m_desktop.cursor, QPoint(1, 50));
        QTest::mouseRelease(picCursor, Qt::LeftButton);
        QVERIFY(picCursor->isVisible());
        QCOMPARE(Fields(), (QStringList{"3153936", "#102030", "16", "32", "48"}));
        QCOMPARE(m_desktop.copies, QList<QRect>{QRect(-12, 45, 27, 11)});
        Key(Qt::Key_R, Qt::AltModifier);
        Keys(QStringLiteral("x"));  // refused: the sample comes back, none recomputed from a half-written colour
        QCOMPARE(Fields(), (QStringList{"3153936", "#102030", "16", "32", "48"}));
    }

    // Where the desktop hands its copies over later, the fields follow each copy as it arrives;
    // ticks while a copy is under way ask for none. A copy that fails ends the drag with a message.
    void eyedropperWaitsForLateCopies()
    {
        auto *timer = Control<QTimer>("Timer1");
        auto *picCursor = Control("picCursor");
        m_desktop.copiesLater = true;
        m_desktop.copies.clear();
        m_desktop.cursor = QPoint(50, 50);
        QTest::mousePress(picCursor, Qt::LeftButton);
        m_desktop.screen.fill(qRgb(1, 2, 3));
        for (int tick = 0; tick < 3; ++tick)
            QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        m_desktop.DeliverCopies();
        QCOMPARE(m_desktop.copies.size(), 1);
        QCOMPARE(Fields(), (QStringList{"197121", "#010203", "1", "2", "3"}));
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        QString message;
        ModalWatcher::WhenModal<QMessageBox>([&message](QMessageBox *box) {
            message = box->text();
            box->accept();
        });
        const RuntimeError refused(ErrorNumberOf(ErrorKind::ScreenCopyDenied), ErrorDescription(ErrorKind::ScreenCopyDenied));
        m_desktop.DeliverCopies(&refused);
        QVERIFY(picCursor->isVisible());
        QVERIFY(!timer->isActive());
        QTRY_VERIFY(message.contains(QString::number(refused.number())));
        QTest::mouseRelease(picCursor, Qt::LeftButton);  // the late release changes nothing
        QCOMPARE(m_desktop.copies.size(), 1);
        m_desktop.copiesLater = false;
    }
};

QTEST_MAIN(frmMainHandlersTest)
#include "frmMainHandlersTest.moc"
