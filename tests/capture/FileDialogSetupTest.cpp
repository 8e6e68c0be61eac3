// Filter text, file types, buffer lengths and result buffers of the file dialog.
#include "capture/FileDialogSetup.h"

#include <QtTest>

using namespace mdlFileDialog;

namespace {
const QChar Nul(0);

QString Joined(const QList<FileType> &types)
{
    QStringList parts;
    for (const FileType &t : types)
        parts << t.Description + QLatin1Char('|') + t.Pattern;
    return parts.join(QLatin1Char(','));
}
}

class FileDialogSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildFilter_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("filter");
        QTest::newRow("bitmap pair") << QStringList{"Bitmap (*.bmp)", "*.bmp"}
                                     << QStringLiteral("Bitmap (*.bmp)%1*.bmp%1").arg(Nul);
        QTest::newRow("two pairs") << QStringList{"A", "*.a", "B", "*.b"}
                                   << QStringLiteral("A%1*.a%1B%1*.b%1").arg(Nul);
        QTest::newRow("odd element left out") << QStringList{"A", "*.a", "B"} << QStringLiteral("A%1*.a%1").arg(Nul);
        QTest::newRow("empty list") << QStringList{} << "";
    }
    void buildFilter()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, filter);
        QCOMPARE(BuildDialogFilter(list), filter);
    }

    void parseFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("types");
        QTest::newRow("bitmap") << BuildDialogFilter({"Bitmap (*.bmp)", "*.bmp"}) << "Bitmap (*.bmp)|*.bmp";
        QTest::newRow("two types") << BuildDialogFilter({"A", "*.a", "B", "*.b;*.c"}) << "A|*.a,B|*.b;*.c";
        QTest::newRow("empty text gives the fallback") << "" << "AlleDateien (*.*)|*.*";
        QTest::newRow("no complete pair gives the fallback") << "Bitmap" << "AlleDateien (*.*)|*.*";
        QTest::newRow("double NUL ends the list")
            << QStringLiteral("A%1*.a%1%1B%1*.b%1").arg(Nul) << "A|*.a";
        QTest::newRow("without closing NUL") << QStringLiteral("A%1*.a").arg(Nul) << "A|*.a";
    }
    void parseFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, types);
        QCOMPARE(Joined(ParseDialogFilter(filter)), types);
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("nameFilter");
        QTest::newRow("bitmap") << "Bitmap (*.bmp)" << "*.bmp" << "Bitmap (*.bmp) (*.bmp)";
        QTest::newRow("several patterns") << "Bilder" << "*.bmp; *.dib;" << "Bilder (*.bmp *.dib)";
    }
    void nameFilter()
    {
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QString, nameFilter);
        QCOMPARE(ToNameFilter(FileType{description, pattern}), nameFilter);
    }

    void proposedName_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("proposedLength");
        QTest::addColumn<int>("length");
        QTest::newRow("260 fits") << DefaultSaveFlags << 260 << 260;
        QTest::newRow("cut to 260") << DefaultSaveFlags << 300 << 260;
        QTest::newRow("multiple selection: 4096") << (DefaultSaveFlags | FlagAllowMultiSelect) << 300 << 300;
        QTest::newRow("multiple selection cut") << FlagAllowMultiSelect << 5000 << 4096;
    }
    void proposedName()
    {
        QFETCH(int, flags);
        QFETCH(int, proposedLength);
        QFETCH(int, length);
        const QString proposed = QString(proposedLength, QLatin1Char('n'));
        QCOMPARE(ProposedFileName(proposed, flags), proposed.left(length));
    }

    void resultBuffer_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("size");
        QTest::newRow("one path") << QStringList{"/home/user/shot.bmp"} << DefaultSaveFlags
                                  << QStringLiteral("/home/user/shot.bmp") << 260;
        QTest::newRow("one path, multiple selection")
            << QStringList{"/home/user/a.bmp"} << FlagAllowMultiSelect << QStringLiteral("/home/user/a.bmp") << 4096;
        QTest::newRow("several files")
            << QStringList{"/home/user/a.bmp", "/home/user/b.bmp"} << FlagAllowMultiSelect
            << QStringLiteral("/home/user%1a.bmp%1b.bmp").arg(Nul) << 4096;
        // Linux paths may be far longer than 260: the chosen file is named whole.
        const QString longPath = QLatin1Char('/') + QString(300, QLatin1Char('d')) + QStringLiteral("/shot.bmp");
        QTest::newRow("path longer than the buffer") << QStringList{longPath} << DefaultSaveFlags << longPath
                                                     << int(longPath.size() + 1);
    }
    void resultBuffer()
    {
        QFETCH(QStringList, files);
        QFETCH(int, flags);
        QFETCH(QString, content);
        QFETCH(int, size);
        const QString buffer = ResultBuffer(files, flags);
        QCOMPARE(buffer.size(), size);
        QVERIFY(buffer.startsWith(content + Nul));
        QCOMPARE(buffer.mid(content.size()), QString(size - content.size(), Nul));
    }
};

QTEST_APPLESS_MAIN(FileDialogSetupTest)
#include "FileDialogSetupTest.moc"
