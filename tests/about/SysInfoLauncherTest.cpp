// Finding and starting the system information program on the PATH.
#include "StandInPrograms.h"
#include "about/SysInfoLauncher.h"

#include <QtTest>

class SysInfoLauncherTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("notExecutable");
        QTest::addColumn<QStringList>("brokenInterpreter");
        QTest::addColumn<QString>("expected"); // the one started, empty for none

        QTest::newRow("none") << QStringList() << QStringList() << QStringList() << QString();
        QTest::newRow("only the last candidate")
            << QStringList{"mate-system-monitor"} << QStringList() << QStringList() << "mate-system-monitor";
        QTest::newRow("first in order wins")
            << QStringList{"kinfocenter", "hardinfo", "gnome-system-monitor"} << QStringList() << QStringList()
            << "hardinfo";
        QTest::newRow("hardinfo2 before hardinfo")
            << QStringList{"hardinfo", "hardinfo2"} << QStringList() << QStringList() << "hardinfo2";
        QTest::newRow("a file that cannot run is passed over")
            << QStringList{"kinfocenter"} << QStringList{"hardinfo2"} << QStringList() << "kinfocenter";
        QTest::newRow("unknown programs are not candidates")
            << QStringList{"sysinfo", "msinfo32"} << QStringList() << QStringList() << QString();
        QTest::newRow("the first found fails to start: nothing else is tried")
            << QStringList{"kinfocenter"} << QStringList() << QStringList{"hardinfo"} << QString();
    }
    void start()
    {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, notExecutable);
        QFETCH(QStringList, brokenInterpreter);
        QFETCH(QString, expected);

        StandInPrograms programs;
        for (const QString &name : installed)
            programs.Add(name);
        for (const QString &name : notExecutable)
            programs.Add(name, false);
        for (const QString &name : brokenInterpreter)
            programs.Add(name, true, QStringLiteral("/nonexistent/sh"));

        QCOMPARE(SysInfoLauncher::Start(), !expected.isEmpty());
        if (expected.isEmpty()) {
            QTest::qWait(300);
            QCOMPARE(programs.Started(), QStringList());
        } else {
            QTRY_COMPARE(programs.Started(), QStringList{expected});
        }
    }
};

QTEST_GUILESS_MAIN(SysInfoLauncherTest)
#include "SysInfoLauncherTest.moc"
