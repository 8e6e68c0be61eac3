// Ctrl+Tab and Ctrl+Shift+Tab between the About box's two pages.
#include "about/TabKeys.h"

#include <QtTest>

class AboutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabAfterKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("expected");  // -1: the key selects nothing
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << 0 << 1;
        QTest::newRow("Ctrl+Tab wraps") << int(Qt::Key_Tab) << ctrl << 1 << 0;
        QTest::newRow("Ctrl+Shift+Tab wraps") << int(Qt::Key_Tab) << (ctrl | shift) << 0 << 1;
        QTest::newRow("Ctrl+Backtab counts as Shift") << int(Qt::Key_Backtab) << ctrl << 1 << 0;
        QTest::newRow("Alt does not matter") << int(Qt::Key_Tab) << (ctrl | Qt::AltModifier) << 0 << 1;
        QTest::newRow("Tab alone") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << 0 << -1;
        QTest::newRow("Shift+Tab alone") << int(Qt::Key_Tab) << shift << 1 << -1;
    }
    void tabAfterKey()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, selected);
        QFETCH(int, expected);
        QCOMPARE(TabKeys::TabAfterKey(key, modifiers, selected, 2), expected);
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "AboutTest.moc"
