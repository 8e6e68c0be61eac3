// The INI file class: its fields, entry and list operations, numbers, and failing windows.
#include "localisation/cInifile.h"

#include "support/TestFiles.h"
#include "base/RuntimeError.h"
#include "localisation/FormWindow.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A window that fails at the property named in failAt.
class FakeWindow : public FormWindow
{
public:
    QString failAt;
    int moves = 0;
    bool maximised = false;

    qint32 WindowState() const override { return check("WindowState", Normal); }
    double Left() const override { return check("Left", 1500.0); }
    double Top() const override { return check("Top", 1500.0); }
    double Width() const override { return check("Width", 6000.0); }
    double Height() const override { return check("Height", 4500.0); }
    void Move(qint32, qint32, qint32, qint32) override { moves += check("Move", 1); }
    void Maximise() override { maximised = check("Maximise", true); }
    double ScreenWidth() const override { return check("ScreenWidth", 19200.0); }
    double ScreenHeight() const override { return 15360; }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }

private:
    template<typename T>
    T check(const char *property, T value) const
    {
        if (failAt == QLatin1String(property))
            RaiseError(438, QStringLiteral("Object doesn't support this property or method"));
        return value;
    }
};

} // namespace

class cInifileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        m_path = m_temp->filePath(QStringLiteral("test.ini"));
        m_ini = cInifile();
        m_ini.setPath(m_path);
        m_ini.setSection(QStringLiteral("s"));
        m_ini.setKey(QStringLiteral("k"));
    }

    void newObject()
    {
        const cInifile ini;
        QCOMPARE(ini.LastReturnCode(), 0);
        QCOMPARE(ini.Success(), false);
        QVERIFY(ini.Path().isEmpty() && ini.Section().isEmpty() && ini.Key().isEmpty() && ini.Default().isEmpty());
    }

    void valueReads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored") << QByteArray("[s]\nk=Gr\xf6\xdf" "e\n") << "d" << "Größe";
        QTest::newRow("absent key gives Default") << QByteArray("[s]\nj=v\n") << " Def ault " << " Def ault ";
        QTest::newRow("300 characters cut to 254") << "[s]\nk=" + QByteArray(300, 'a') << "" << QString(254, u'a');
    }
    void valueReads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, defaultText);
        QFETCH(QString, expected);
        QVERIFY(WriteBytes(m_path, file));
        m_ini.setDefault(defaultText);
        QCOMPARE(m_ini.Value(), expected);
    }

    void valueWrites_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("file"); // null: refused
        const QChar nul(0);
        QTest::newRow("a NUL b NUL writes ab") << QStringLiteral("a") + nul + QStringLiteral("b") + nul << QByteArray("[s]\nk=ab\n");
        QTest::newRow("NUL beyond 32767") << QString(40000, u'x') + nul + QStringLiteral("y") << "[s]\nk=" + QByteArray(40000, 'x') + "y\n";
        QTest::newRow("line break refused") << "a\r\nb" << QByteArray();
    }
    void valueWrites()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, file);
        m_ini.setValue(value);
        QCOMPARE(m_ini.Success(), !file.isNull());
        QCOMPARE(ReadBytes(m_path), file);
    }

    void deletes()
    {
        QVERIFY(WriteBytes(m_path, "[s]\nk=1\nj=2\n[t]\nk=3\n"));
        m_ini.DeleteKey();
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QByteArray("[s]\nj=2\n[t]\nk=3\n"));
        m_ini.setSection(QStringLiteral("T"));
        m_ini.DeleteSection();
        QCOMPARE(ReadBytes(m_path), QByteArray("[s]\nj=2\n"));
        // Assigning the key list removes the current section and stores nothing.
        m_ini.setSection(QStringLiteral("s"));
        m_ini.setINISection(QStringLiteral("x"));
        QVERIFY(m_ini.Success());
        QCOMPARE(ReadBytes(m_path), QByteArray());
    }

    void enumerations_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("keys A and B") << QByteArray("[s]\nA=1\nB=2\n") << QStringList{"A", "B"} << QStringList{"s"};
        QTest::newRow("section without keys") << QByteArray("[s]\n[t]\nx=1\n") << QStringList() << QStringList{"s", "t"};
        QTest::newRow("missing file") << QByteArray() << QStringList() << QStringList();
        QTest::newRow("empty names") << QByteArray("[]\n=1\n[s]\n=2\nb=3\n[t]\n") << QStringList{"", "b"} << QStringList{"s", "t"};
        // 1,100 names of seven characters and a NUL outgrow 8,192 characters; the list is cut to
        // 8,190, inside name 1,024.
        QByteArray many("[s]\n");
        QStringList kept;
        for (int i = 0; i < 1100; ++i) {
            many += QByteArray::number(1000000 + i) + "=x\n";
            if ((i + 1) * 8 <= 8190)
                kept.append(QString::number(1000000 + i));
        }
        QTest::newRow("list beyond 8192 drops the cut name") << many << kept << QStringList{"s"};
    }
    void enumerations()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, sections);
        if (!file.isNull())
            QVERIFY(WriteBytes(m_path, file));
        QStringList names{QStringLiteral("stale")};
        qint32 count = -1;
        m_ini.EnumerateCurrentSection(names, count);
        QCOMPARE(names, keys);
        QCOMPARE(count, keys.size());
        m_ini.EnumerateAllSections(names, count);
        QCOMPARE(names, sections);
        QCOMPARE(count, sections.size());
    }

    void cLngDefault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("expected");
        QTest::newRow("a word") << "FAIL" << "C" << 5;
        QTest::newRow("blanks around") << " 42 " << "C" << 42;
        QTest::newRow("half to even down") << "2.5" << "C" << 2;
        QTest::newRow("smallest") << "-2147483648" << "C" << int(-2147483647 - 1);
        QTest::newRow("beyond 32 bits") << "2147483648" << "C" << 5;
        QTest::newRow("infinity") << "inf" << "C" << 5;
        QTest::newRow("German decimal comma") << " 7,5 " << "de_DE" << 8;
    }
    void cLngDefault()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(int, expected);
        const QLocale saved;
        QLocale::setDefault(QLocale(locale));
        const qint32 result = cInifile::CLngDefault(text, 5);
        QLocale::setDefault(saved);
        QCOMPARE(result, expected);
    }

    // A failing window or absurd stored numbers end the operation quietly: Key and Default come
    // back, LastReturnCode is 0, and the window is neither moved nor maximised.
    void positionErrors_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("failAt");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("fileAfter");
        const QByteArray stored("[s]\nLeft=1500\nTop=1500\nWidth=6000\nHeight=4500\nMaximised=1\n");
        QTest::newRow("save: state fails") << "save" << "WindowState" << stored << stored;
        QTest::newRow("save: Width fails after three writes") << "save" << "Width" << QByteArray("[s]\n")
                                                              << QByteArray("[s]\nMaximised=0\nLeft=1500\nTop=1500\n");
        QTest::newRow("load: Left fails") << "load" << "Left" << stored << stored;
        QTest::newRow("load: Move fails") << "load" << "Move" << stored << stored;
        const QByteArray absurd("[s]\nLeft=2147483000\nWidth=2000\nMaximised=1\n");
        QTest::newRow("load: sum beyond 32 bits") << "load" << "" << absurd << absurd;
    }
    void positionErrors()
    {
        QFETCH(QString, operation);
        QFETCH(QString, failAt);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, fileAfter);
        m_ini.setValue(QStringLiteral("v"));
        QVERIFY(m_ini.Success());
        QVERIFY(WriteBytes(m_path, file));
        m_ini.setKey(QStringLiteral("myKey"));
        m_ini.setDefault(QStringLiteral("myDefault"));

        FakeWindow window;
        window.failAt = failAt;
        if (operation == QLatin1String("save"))
            m_ini.SaveFormPosition(window);
        else
            m_ini.LoadFormPosition(window, 0, 0);

        QCOMPARE(m_ini.LastReturnCode(), 0);
        QCOMPARE(m_ini.Key(), QStringLiteral("myKey"));
        QCOMPARE(m_ini.Default(), QStringLiteral("myDefault"));
        QCOMPARE(window.moves, 0);
        QCOMPARE(window.maximised, false);
        QCOMPARE(ReadBytes(m_path), fileAfter);
    }

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_path;
    cInifile m_ini;
};

QTEST_APPLESS_MAIN(cInifileTest)
#include "cInifileTest.moc"
