// Folder part of a path and texts cut at their first NUL.
#include "localisation/mdlTools.h"

#include <QtTest>

class PathToolsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folderPart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("file in a folder") << "/home/user/Bilder/shot.bmp" << "/home/user/Bilder";
        QTest::newRow("bare file name") << "shot.bmp" << "";
        QTest::newRow("file in the root keeps the root") << "/shot.bmp" << "/";
        QTest::newRow("relative path") << "Bilder/shot.bmp" << "Bilder";
        QTest::newRow("last slash wins") << "/a/b/c/" << "/a/b/c";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("umlauts") << QStringLiteral("/home/jürgen/Bilder/Größe.bmp")
                                 << QStringLiteral("/home/jürgen/Bilder");
    }
    void folderPart()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(mdlTools::GetFolderPart(path), folder);
    }

    void folderPartOfLongPath()
    {
        // Far beyond 16-bit positions.
        const QString folder = QLatin1Char('/') + QString(70000, QLatin1Char('d'));
        QCOMPARE(mdlTools::GetFolderPart(folder + QStringLiteral("/shot.bmp")), folder);
    }

    void trimAtNull_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        const QString name = QStringLiteral("/home/user/Bilder/shot.bmp");
        QString buffer = name + QChar(0);
        buffer += QString(260 - buffer.size(), QLatin1Char(' '));
        QTest::newRow("260-character buffer") << buffer << name;
        QTest::newRow("no NUL") << name << name;
        QTest::newRow("NUL first") << QString(QChar(0)) + name << "";
        QTest::newRow("first of several NULs") << QStringLiteral("a%1b%1").arg(QChar(0)) << "a";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("NUL beyond 32767") << QString(40000, QLatin1Char('x')) + QChar(0) + QStringLiteral("rest")
                                         << QString(40000, QLatin1Char('x'));
    }
    void trimAtNull()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(mdlTools::TrimAtNull(text), trimmed);
    }
};

QTEST_APPLESS_MAIN(PathToolsTest)
#include "PathToolsTest.moc"
