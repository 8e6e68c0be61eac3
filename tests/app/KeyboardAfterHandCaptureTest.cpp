// Regression: after the hand was dragged onto a window, the keyboard reached the fields as if the
// window had never been left: access keys no longer selected the text, typing appended to it.
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/X11TestDesktop.h"
#include "support/X11TestDesktop.h"

#include <QtTest>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace X11TestDesktop;

class KeyboardAfterHandCaptureTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<X11TestDesktop::ForeignWindow> m_other;

    QWidget *Control(const char *name) const { return m_window.get()->findChild<QWidget *>(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_other = X11TestDesktop::StartXMessage(QPoint(700, 100), QStringLiteral("Ziel"));
        QVERIFY(m_other->window);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void accessKeysAfterHandCapture_data()
    {
        QTest::addColumn<bool>("onWindow");
        QTest::newRow("desktop") << false;
        QTest::newRow("other window") << true;
    }
    void accessKeysAfterHandCapture()
    {
        QFETCH(bool, onWindow);
        // xmessage stands with its frame at 700, 100; its text lies well inside.
        const QPoint target = onWindow ? QPoint(730, 135) : QPoint(1200, 900);
        QWidget *hand = Control("picCursorScreen");
        MoveTo(hand->mapToGlobal(hand->rect().center()));
        Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        QTRY_VERIFY(!hand->isVisible());
        MoveTo(target);
        Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        QTRY_VERIFY(hand->isVisible() && m_window->isVisible());
        QTRY_VERIFY(ClipboardTargets().contains(QStringLiteral("image/png")));
        QTRY_COMPARE(Run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed().toULongLong(),
                     quint64(m_window->winId()));

        // Alt+R selects the red field's text, so 9 replaces it.
        Xdotool({QStringLiteral("key"), QStringLiteral("alt+r")});
        Xdotool({QStringLiteral("type"), QStringLiteral("9")});
        QTRY_COMPARE(m_window.get()->findChild<QLineEdit *>(QStringLiteral("txtR"))->text(), QStringLiteral("9"));
        // Alt+X selects the whole hex text, so Ctrl+C copies it.
        Xdotool({QStringLiteral("key"), QStringLiteral("alt+x")});
        Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")});
        QTRY_COMPARE(Clipboard(QStringLiteral("UTF8_STRING")), QByteArray("#090000"));
        // And the field that has the keyboard shows its caret.
        QVERIFY(m_window.get()->findChild<QLineEdit *>(QStringLiteral("txtHex"))->hasFocus());
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_other.reset();
    }
};

QTEST_MAIN(KeyboardAfterHandCaptureTest)
#include "KeyboardAfterHandCaptureTest.moc"
