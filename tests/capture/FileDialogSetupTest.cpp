// What the save dialog is asked to show, and the buffer it hands back.
#include "capture/FileDialogSetup.h"

#include <QtTest>

using namespace mdlFileDialog;

class FileDialogSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileTypes_data()
    {
        const QChar nul(0);
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::newRow("several patterns") << BuildDialogFilter({"A", "*.a", "Bilder", "*.bmp; *.dib;"})
                                          << QStringList{"A (*.a)", "Bilder (*.bmp *.dib)"};
        QTest::newRow("odd element left out") << BuildDialogFilter({"A", "*.a", "B"}) << QStringList{"A (*.a)"};
        QTest::newRow("double NUL ends the list") << QStringLiteral("A%1*.a%1%1B%1*.b%1").arg(nul) << QStringList{"A (*.a)"};
        QTest::newRow("without closing NUL") << QStringLiteral("A%1*.a").arg(nul) << QStringList{"A (*.a)"};
        QTest::newRow("no pair: all files") << "Bitmap" << QStringList{"AlleDateien (*.*) (*.*)"};
    }
    void fileTypes()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, nameFilters);
        QStringList shown;
        for (const FileType &type : ParseDialogFilter(filter))
            shown << ToNameFilter(type);
        QCOMPARE(shown, nameFilters);
    }

    // Paths may be far longer than the 260-character buffer: the chosen one comes back whole.
    void longPathIsNotCut()
    {
        const QString path = QLatin1Char('/') + QString(300, u'd') + QStringLiteral("/a.bmp");
        QCOMPARE(ResultBuffer({path}, DefaultSaveFlags), path + QChar(0));
        QCOMPARE(ResultBuffer({QStringLiteral("/a.bmp")}, DefaultSaveFlags).size(), 260);
    }
};

QTEST_APPLESS_MAIN(FileDialogSetupTest)
#include "FileDialogSetupTest.moc"
