// The main window as a user meets it: controls, texts, focus, access keys, staying on top.
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/ControlOf.h"
#include "support/NetWmState.h"

#include <QtTest>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {
QString Plain(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}
}

class frmMainTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

    template <typename T>
    T *Control(const char *name) const
    {
        return ControlOf<T>(m_window.get(), name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void windowItself()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Pixolva v1.01"));
        QCOMPARE(m_window->size(), QSize(312, 257));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        const Qt::WindowFlags flags = m_window->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(m_window->windowIcon().availableSizes().contains(QSize(16, 16)));
    }

    // Design geometry in twips (Left, Top, Width, Height); 15 twips make a pixel.
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        auto row = [](const char *name, const char *kind, const QString &text, QRect twips) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << text << twips;
        };
        row("lblDez", "QLabel", QStringLiteral("&Dez"), QRect(1320, 150, 495, 255));
        row("txtDec", "QLineEdit", QStringLiteral("0"), QRect(1920, 120, 975, 285));
        row("lblHex", "QLabel", QStringLiteral("He&x"), QRect(1320, 480, 495, 255));
        row("txtHex", "QLineEdit", QStringLiteral("#000000"), QRect(1920, 450, 975, 285));
        row("lblR", "QLabel", QStringLiteral("&Rot"), QRect(3480, 150, 495, 255));
        row("txtR", "QLineEdit", QStringLiteral("0"), QRect(4080, 120, 495, 285));
        row("lblG", "QLabel", QString::fromUtf8("&Grün"), QRect(3480, 480, 495, 255));
        row("txtG", "QLineEdit", QStringLiteral("0"), QRect(4080, 480, 495, 285));
        row("lblB", "QLabel", QStringLiteral("&Blau"), QRect(3480, 840, 495, 255));
        row("txtB", "QLineEdit", QStringLiteral("0"), QRect(4080, 840, 495, 285));
        row("picColour", "PictureBox", QString(), QRect(120, 120, 975, 975));
        row("picCursor", "PictureBox", QString(), QRect(3780, 1380, 495, 495));
        row("picZoom", "PictureBox", QString(), QRect(120, 1200, 3255, 1335));
        row("cmdAbout", "QPushButton", QStringLiteral("Info"), QRect(3480, 2160, 1095, 375));
        row("fraScreenShot", "QGroupBox", QStringLiteral("ScreenShot"), QRect(120, 2640, 4455, 1095));
        row("cmdWindow", "QPushButton", QStringLiteral("&Fenster"), QRect(120, 240, 1095, 375));
        row("cmdDesktop", "QPushButton", QStringLiteral("Desk&top"), QRect(120, 600, 1095, 375));
        row("optClipboard", "QRadioButton", QStringLiteral("&Zwischenablage"), QRect(1680, 240, 1695, 255));
        row("optFile", "QRadioButton", QStringLiteral("&Speichern"), QRect(1680, 600, 1695, 255));
        row("picCursorScreen", "PictureBox", QString(), QRect(3600, 240, 495, 495));
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        auto *control = m_window->findChild<QWidget *>(name);
        QVERIFY(control);
        QVERIFY(control->inherits(kind.toLatin1().constData()));
        QCOMPARE(control->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QVERIFY(control->isVisible());
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), text);
        else if (auto *edit = qobject_cast<QLineEdit *>(control))
            QCOMPARE(edit->text(), text);
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            QCOMPARE(button->text(), text);
        else if (auto *frame = qobject_cast<QGroupBox *>(control))
            QCOMPARE(frame->title(), text);
    }

    void fieldsAndTimersAtStart()
    {
        QCOMPARE(Control<QLineEdit>("txtDec")->maxLength(), 8);
        QCOMPARE(Control<QLineEdit>("txtHex")->maxLength(), 7);
        for (const char *name : {"txtR", "txtG", "txtB"})
            QCOMPARE(Control<QLineEdit>(name)->maxLength(), 3);
        QCOMPARE(Control<QWidget>("picColour")->property("Tag").toString(), QStringLiteral("NOLOC"));
        QVERIFY(Control<QRadioButton>("optClipboard")->isChecked());
        QVERIFY(!Control<QRadioButton>("optFile")->isChecked());
        const QList<std::pair<const char *, int>> timers{{"Timer1", 50}, {"Timer2", 50}, {"Timer3", 2000}};
        for (const auto &[name, interval] : timers) {
            QCOMPARE(Control<QTimer>(name)->interval(), interval);
            QVERIFY(!Control<QTimer>(name)->isActive());
        }
    }

    void focusStartsInDecimalFieldWithTextSelected()
    {
        auto *txtDec = Control<QLineEdit>("txtDec");
        QCOMPARE(QApplication::focusWidget(), txtDec);
        QCOMPARE(txtDec->selectedText(), QStringLiteral("0"));
    }

    void tabOrderFollowsTheDesign()
    {
        const QStringList expected{QStringLiteral("txtDec"), QStringLiteral("txtHex"), QStringLiteral("txtR"),
                                   QStringLiteral("txtG"), QStringLiteral("txtB"), QStringLiteral("picColour"),
                                   QStringLiteral("picCursor"), QStringLiteral("picZoom"), QStringLiteral("cmdAbout"),
                                   QStringLiteral("cmdWindow"), QStringLiteral("cmdDesktop"),
                                   QStringLiteral("optClipboard"), QStringLiteral("optFile"),
                                   QStringLiteral("picCursorScreen")};
        QStringList seen;
        QWidget *w = Control<QWidget>("txtDec");
        do {
            if (w->focusPolicy() & Qt::TabFocus && !qobject_cast<QLabel *>(w) && !qobject_cast<QGroupBox *>(w))
                seen << w->objectName();
            w = w->nextInFocusChain();
        } while (w != Control<QWidget>("txtDec") && seen.size() < 40);
        QCOMPARE(seen, expected);
    }

    void accessKeysFocusTheFields_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("field");
        QTest::newRow("Alt+X") << int(Qt::Key_X) << QStringLiteral("txtHex");
        QTest::newRow("Alt+R") << int(Qt::Key_R) << QStringLiteral("txtR");
        QTest::newRow("Alt+G") << int(Qt::Key_G) << QStringLiteral("txtG");
        QTest::newRow("Alt+B") << int(Qt::Key_B) << QStringLiteral("txtB");
        QTest::newRow("Alt+D") << int(Qt::Key_D) << QStringLiteral("txtDec");
    }
    void accessKeysFocusTheFields()
    {
        QFETCH(int, key);
        QFETCH(QString, field);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), field);
    }

    // Every caption fits its design box in the window's font.
    void noTextIsClipped()
    {
        const auto widgets = m_window->findChildren<QWidget *>();
        int checked = 0;
        for (QWidget *w : widgets) {
            const QFontMetrics fm = w->fontMetrics();
            if (auto *label = qobject_cast<QLabel *>(w)) {
                QVERIFY2(fm.horizontalAdvance(Plain(label->text())) <= label->contentsRect().width(),
                         qPrintable(label->objectName()));
                QVERIFY2(fm.height() <= label->height(), qPrintable(label->objectName()));
            } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
                QStyleOptionButton option;
                option.initFrom(radio);
                option.text = radio->text();
                const QRect contents = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
                QVERIFY2(fm.horizontalAdvance(Plain(radio->text())) <= contents.width(), qPrintable(radio->objectName()));
            } else if (auto *button = qobject_cast<QPushButton *>(w)) {
                const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                QVERIFY2(fm.horizontalAdvance(Plain(button->text())) + 2 * margin <= button->width(),
                         qPrintable(button->objectName()));
            } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
                QVERIFY2(fm.horizontalAdvance(frame->title()) + 20 <= frame->width(), qPrintable(frame->objectName()));
            } else {
                continue;
            }
            ++checked;
        }
        QCOMPARE(checked, 11);
    }

    // Always-on-top as the window manager sees it, switched without unmapping the window.
    void staysAboveOtherWindows()
    {
        const WId id = m_window->winId();
        QTRY_VERIFY(IsAbove(id));

        QCOMPARE(m_window->SetAlwaysOnTop(static_cast<WindowHandle>(id), false), 0);
        QTRY_VERIFY(!IsAbove(id));
        QVERIFY(m_window->isVisible());
        QVERIFY(!NetWmState(id).contains(QStringLiteral("_NET_WM_STATE_HIDDEN")));

        QVERIFY(m_window->SetAlwaysOnTop(static_cast<WindowHandle>(id), true) != 0);
        QTRY_VERIFY(IsAbove(id));
        QVERIFY(m_window->isVisible());
    }

    void cleanupTestCase()
    {
        m_window.reset();
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
