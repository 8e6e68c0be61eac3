// The folder part of a path, and a text cut at its first NUL.
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
        QTest::newRow("file in a folder") << "/home/jürgen/Größe.bmp" << "/home/jürgen";
        QTest::newRow("bare file name") << "shot.bmp" << "";
        QTest::newRow("file in the root keeps the root") << "/shot.bmp" << "/";
        QTest::newRow("beyond 16 bits") << "/" + QString(70000, u'd') + "/shot.bmp" << "/" + QString(70000, u'd');
    }
    void folderPart()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(mdlTools::GetFolderPart(path), folder);
    }

    void trimAtNull_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("no NUL") << "a" << "a";
        QTest::newRow("first of several NULs") << QStringLiteral("a%1b%1").arg(QChar(0)) << "a";
        QTest::newRow("NUL beyond 16 bits") << QString(70000, u'x') + QChar(0) + "rest" << QString(70000, u'x');
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
