// Text lookups in the language file, and the keys and order of a control's texts.
#include "localisation/mdlI18n.h"

#include "support/TestFiles.h"
#include "localisation/ControlTexts.h"
#include "localisation/cInifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace mdlI18n;

class mdlI18nTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The language file beside the executable, checked before any test points it elsewhere.
    void initTestCase()
    {
        QCOMPARE(LanguageFile().Path(), QString());
        const QString expected = QCoreApplication::applicationDirPath() + QLatin1Char('/')
            + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QLatin1String(".lng");
        QFile::remove(expected);
        QCOMPARE(GetLngText(QStringLiteral("frmMain"), QStringLiteral("strCaptureScreen"), QStringLiteral("Bildschirm")),
                 QStringLiteral("Bildschirm"));
        QCOMPARE(LanguageFile().Path(), expected);
        if (QFileInfo(QCoreApplication::applicationDirPath()).isWritable())
            QCOMPARE(ReadBytes(expected), QByteArray("[frmMain]\nstrCaptureScreen=Bildschirm\n"));
        QFile::remove(expected);
    }

    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("Pixolva.lng"));
        LanguageFile().setPath(m_path);
    }

    void lookups_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("fileAfter"); // null: unchanged
        const QByteArray fresh("[frmTest]\nkey=Farbe\n");
        QTest::newRow("missing file: default written") << QByteArray() << "Farbe" << "Farbe" << fresh;
        QTest::newRow("missing entry: default written")
            << QByteArray("; mine\n[frmTest]\nother=1\n") << "Farbe" << "Farbe" << QByteArray("; mine\n[frmTest]\nother=1\nkey=Farbe\n");
        QTest::newRow("translated entry used") << QByteArray("[frmTest]\nkey=About\n") << "Farbe" << "About" << QByteArray();
        QTest::newRow("three spaces count as missing") << QByteArray("[frmTest]\nkey=   \n") << "Farbe" << "Farbe" << fresh;
        QTest::newRow("empty default written empty") << QByteArray() << "" << "" << QByteArray("[frmTest]\nkey=\n");
        QTest::newRow("empty entry stays as it is") << QByteArray("[frmTest]\nkey=\n") << "" << "" << QByteArray();
        QTest::newRow("\\n and \\N give CR LF") << QByteArray("[frmTest]\nkey=One\\nTwo\\NThree\n") << "x" << "One\r\nTwo\r\nThree"
                                                << QByteArray();
        QTest::newRow("default's \\n kept in the file") << QByteArray() << "a\\nb" << "a\r\nb" << QByteArray("[frmTest]\nkey=a\\nb\n");
        QTest::newRow("default's line breaks written as \\n")
            << QByteArray() << "a\nb\r\nc\rd" << "a\r\nb\r\nc\r\nd" << QByteArray("[frmTest]\nkey=a\\nb\\nc\\nd\n");
        QTest::newRow("umlauts") << QByteArray() << "Schließen für Größe" << "Schließen für Größe"
                                 << QByteArray("[frmTest]\nkey=Schlie\xdf" "en f\xfcr Gr\xf6\xdf" "e\n");
        QTest::newRow("text cut to 254") << "[frmTest]\nkey=" + QByteArray(300, 'a') + '\n' << "x" << QString(254, u'a') << QByteArray();
        QTest::newRow("garbage around the entry")
            << QByteArray("\xff\xfe\0\0\n[frmTest]\n\x01\x02\n key = Wert \n\xff", 32) << "x" << "Wert" << QByteArray();
    }
    void lookups()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, defaultText);
        QFETCH(QString, expected);
        QFETCH(QByteArray, fileAfter);
        if (!file.isNull())
            QVERIFY(WriteBytes(m_path, file));
        QCOMPARE(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), defaultText), expected);
        QCOMPARE(ReadBytes(m_path), fileAfter.isNull() ? file : fileAfter);
    }

    // A language file that cannot be written or read costs the built-in text nothing, and
    // what it holds stays as it was.
    void unusableFileGivesDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder is a file") << "parent";
        QTest::newRow("directory in place of the file") << "directory";
        QTest::newRow("file not writable") << "readonly";
    }
    void unusableFileGivesDefaults()
    {
        QFETCH(QString, kind);
        const QByteArray content("; mine\n[frmTest]\nother=x\n");
        const bool byPermissions = kind == QLatin1String("readonly");
        if (byPermissions && RunningAsRoot())
            QSKIP("permission bits do not stop root");
        if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(m_path));
        } else {
            QVERIFY(WriteBytes(m_path, content));
        }
        if (kind == QLatin1String("parent"))
            LanguageFile().setPath(m_path + QStringLiteral("/Pixolva.lng"));
        else if (byPermissions)
            QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));

        QStringList texts;
        for (int i = 0; i < 2; ++i)
            texts.append(GetLngText(QStringLiteral("frmTest"), QStringLiteral("key"), QStringLiteral("a\\nb")));

        if (byPermissions)
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(texts, QStringList({QStringLiteral("a\r\nb"), QStringLiteral("a\r\nb")}));
        if (kind == QLatin1String("directory"))
            QVERIFY(QFileInfo(m_path).isDir());
        else
            QCOMPARE(ReadBytes(m_path), content);
    }

    void textSlots_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("expected"); // key@item

        const QStringList own{"ctl.Caption@-1", "ctl.ToolTipText@-1"};
        QTest::newRow("CommandButton") << "CommandButton" << "ctl" << QStringList() << own;
        QTest::newRow("commandbutton") << "commandbutton" << "ctl" << QStringList() << own;
        QTest::newRow("LABEL") << "LABEL" << "ctl" << QStringList() << own;
        QTest::newRow("Menu") << "Menu" << "mnuFile" << QStringList() << QStringList{"mnuFile.Caption@-1"};
        QTest::newRow("TextBox") << "TextBox" << "txtDec" << QStringList() << QStringList{"txtDec.ToolTipText@-1"};
        QTest::newRow("ListView") << "ListView" << "lvwFiles" << QStringList{"Name", "Size"}
                                  << QStringList{"lvwFiles.Name.Text@0", "lvwFiles.Size.Text@1"};
        QTest::newRow("TabStrip") << "TabStrip" << "tbsAbout" << QStringList{"Application", "Author"}
                                  << QStringList{"tbsApplication.Caption@0", "tbsApplication.ToolTipText@0",
                                                 "tbsAuthor.Caption@1", "tbsAuthor.ToolTipText@1"};
        QTest::newRow("TabStrip, tab without key") << "tabstrip" << "tbsAbout" << QStringList{""}
                                                   << QStringList{"tbs.Caption@0", "tbs.ToolTipText@0"};
        QTest::newRow("Toolbar skips buttons without key")
            << "Toolbar" << "tbrMain" << QStringList{"Open", "", "Save"}
            << QStringList{"tbrOpen.Description@0", "tbrOpen.ToolTipText@0", "tbrSave.Description@2", "tbrSave.ToolTipText@2"};
        QTest::newRow("PictureBox") << "PictureBox" << "picZoom" << QStringList() << QStringList();
        QTest::newRow("no type") << "" << "ctl" << QStringList() << QStringList();
    }
    void textSlots()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        QFETCH(QStringList, expected);
        QStringList keys;
        for (const TextSlot &slot : TextSlots(typeName, name, items))
            keys.append(slot.key + QLatin1Char('@') + QString::number(slot.item));
        QCOMPARE(keys, expected);
    }

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
};

QTEST_GUILESS_MAIN(mdlI18nTest)
#include "mdlI18nTest.moc"
