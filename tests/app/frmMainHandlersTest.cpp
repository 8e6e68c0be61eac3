// The five colour fields of the real main window, typed into with the keyboard and the mouse.
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"

#include <QtTest>
#include <QClipboard>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {
const QStringList FieldNames{QStringLiteral("txtDec"), QStringLiteral("txtHex"), QStringLiteral("txtR"),
                             QStringLiteral("txtG"), QStringLiteral("txtB")};

Qt::Key KeyNamed(const QString &name)
{
    static const QHash<QString, Qt::Key> keys{{QStringLiteral("Tab"), Qt::Key_Tab},
                                              {QStringLiteral("Backspace"), Qt::Key_Backspace},
                                              {QStringLiteral("Home"), Qt::Key_Home},
                                              {QStringLiteral("Right"), Qt::Key_Right}};
    return keys.value(name, Qt::Key_unknown);
}
}

class frmMainColourFieldsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Steps: "alt X" (access key), "type TEXT", "key NAME", "paste TEXT" (Ctrl+V),
    // "click CONTROL" (a mouse click on a control of the window).
    void Run(frmMain &window, const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QString verb = step.section(u' ', 0, 0);
            const QString arg = step.section(u' ', 1);
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            if (verb == u"alt") {
                QTest::keyClick(focus, Qt::Key(arg.at(0).unicode()), Qt::AltModifier);
            } else if (verb == u"type") {
                QTest::keyClicks(focus, arg);
            } else if (verb == u"key") {
                const Qt::Key key = KeyNamed(arg);
                QVERIFY2(key != Qt::Key_unknown, qPrintable(arg));
                QTest::keyClick(focus, key);
            } else if (verb == u"paste") {
                QGuiApplication::clipboard()->setText(arg);
                QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
            } else if (verb == u"click") {
                auto *control = window.findChild<QWidget *>(arg);
                QVERIFY(control);
                QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(3, control->height() / 2));
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
    }

    void typing_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("texts"); // txtDec, txtHex, txtR, txtG, txtB
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("selected"); // selected text of the focus field
        QTest::addColumn<int>("caret");        // its caret; -1: not checked

        QTest::newRow("R 256 pasted over all refused")
            << QStringList{"alt R", "type 253", "alt G", "alt R", "paste 256"}
            << QStringList{"253", "#FD0000", "253", "0", "0"} << "txtR" << "" << 0;
        QTest::newRow("R 295 refused, caret back")
            << QStringList{"alt R", "type 25", "key Home", "key Right", "type 9"}
            << QStringList{"25", "#190000", "25", "0", "0"} << "txtR" << "" << 1;
        QTest::newRow("Hex ff8800 left with Tab")
            << QStringList{"alt X", "type ff8800", "key Tab"} << QStringList{"35071", "#FF8800", "255", "136", "0"}
            << "txtR" << "255" << -1;
        QTest::newRow("R emptied and left by access key")
            << QStringList{"alt G", "type 5", "alt R", "type 25", "key Backspace", "key Backspace", "alt B"}
            << QStringList{"1280", "#000500", "0", "5", "0"} << "txtB" << "0" << -1;
        QTest::newRow("G 007 left for an option button")
            << QStringList{"alt G", "type 007", "click optFile"} << QStringList{"1792", "#000700", "0", "7", "0"}
            << "optFile" << "" << -1;
    }
    void typing()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, texts);
        QFETCH(QString, focus);
        QFETCH(QString, selected);
        QFETCH(int, caret);

        frmMain window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtDec"));
        Run(window, steps);

        for (int i = 0; i < FieldNames.size(); ++i)
            QCOMPARE(window.findChild<QLineEdit *>(FieldNames[i])->text(), texts[i]);
        QWidget *focusWidget = QApplication::focusWidget();
        QVERIFY(focusWidget);
        QCOMPARE(focusWidget->objectName(), focus);
        if (auto *field = qobject_cast<QLineEdit *>(focusWidget)) {
            QCOMPARE(field->selectedText(), selected);
            if (caret >= 0)
                QCOMPARE(field->cursorPosition(), caret);
        }
        // The colour box shows the value of the decimal field.
        const int dec = texts[0].toInt();
        const QColor expected(dec & 255, (dec >> 8) & 255, (dec >> 16) & 255);
        QCOMPARE(window.findChild<PictureBox *>(QStringLiteral("picColour"))->BackColor(), expected);
    }
};

QTEST_MAIN(frmMainColourFieldsTest)
#include "frmMainColourFieldsTest.moc"
