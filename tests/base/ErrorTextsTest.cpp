// The error descriptions: every error the program raises keeps its number and tells the user in
// German what happened, in the standard message's form.
#include "base/ErrorTexts.h"
#include "base/RuntimeError.h"

#include <QtTest>
#include <QRegularExpression>

class ErrorTextsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyErrorHasAGermanDescription_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::newRow("overflow") << int(ErrorKind::Overflow) << 6;
        QTest::newRow("no screen") << int(ErrorKind::NoScreen) << 5;
        QTest::newRow("window gone") << int(ErrorKind::WindowGone) << 91;
        QTest::newRow("window not movable") << int(ErrorKind::WindowNotMovable) << 384;
        QTest::newRow("file not written") << int(ErrorKind::FileNotWritten) << 75;
        QTest::newRow("no active window") << int(ErrorKind::NoActiveWindow) << 481;
        QTest::newRow("monitor gone") << int(ErrorKind::MonitorGone) << 481;
        QTest::newRow("empty capture") << int(ErrorKind::EmptyCapture) << 481;
        QTest::newRow("screen copy cancelled") << int(ErrorKind::ScreenCopyCancelled) << 18;
        QTest::newRow("screen copy denied") << int(ErrorKind::ScreenCopyDenied) << 70;
        QTest::newRow("no screen copy service") << int(ErrorKind::NoScreenCopyService) << 429;
        QTest::newRow("screen copy no answer") << int(ErrorKind::ScreenCopyNoAnswer) << 287;
        QTest::newRow("screen copy unreadable") << int(ErrorKind::ScreenCopyUnreadable) << 481;
    }
    void everyErrorHasAGermanDescription()
    {
        QFETCH(int, kind);
        QFETCH(int, number);
        try {
            RaiseError(ErrorKind(kind), QStringLiteral("/home/anna/bild.bmp"));
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), number);
            const QString text = e.description();
            QVERIFY2(text.size() > 60 && !text.contains(QLatin1Char('\n')), qPrintable(text));
            const QRegularExpression english(QStringLiteral("\\b(the|not|error|invalid|file|access|picture|"
                                                            "screen|object|window|cannot|overflow)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
            QVERIFY2(!english.match(text).hasMatch(), qPrintable(text));
            // and says what to do.
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\b\\w+ Sie\\b"))), qPrintable(text));
            return;
        }
        QFAIL("nothing raised");
    }

    // The path is part of the message, which keeps its standard form.
    void fileErrorNamesThePath()
    {
        const RuntimeError e(ErrorNumberOf(ErrorKind::FileNotWritten),
                             ErrorDescription(ErrorKind::FileNotWritten, QStringLiteral("/sys/pixtest.bmp")));
        const QString text = StandardErrorText(e);
        QVERIFY2(text.startsWith(QString::fromUtf8("Die Datei „/sys/pixtest.bmp“ konnte nicht geschrieben werden")),
                 qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral(".\r\n(Runtime-Error: 75)")));
    }
};

QTEST_GUILESS_MAIN(ErrorTextsTest)
#include "ErrorTextsTest.moc"
