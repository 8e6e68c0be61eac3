// Opening the About box from the main window, as the window manager sees it.
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/NetWmState.h"

#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
// Waits up to five seconds for the main window's state to become `above`.
bool WaitForAbove(WId window, bool above)
{
    for (int i = 0; i < 100; ++i) {
        if (IsAbove(window) == above)
            return true;
        QTest::qWait(50);
    }
    return false;
}

// What the running dialog looked like, seen from inside its modal loop.
struct OpenState
{
    bool seen = false;
    bool mainAboveWhileOpen = true;
    bool ownedByMain = false;
    int offCentreX = 0;
    int offCentreY = 0;
    int tab = -1;
    QString title;
};
}

class AboutOpeningTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_main;

    // Clicks "Info"; while the box runs, records its state, switches to "Autor" and presses key.
    OpenState OpenAndClose(Qt::Key key)
    {
        OpenState state;
        QTimer::singleShot(0, this, [this, &state, key] {
            frmAbout *about = nullptr;
            for (int i = 0; i < 100 && !about; ++i) {
                about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
                if (!about || !about->isActiveWindow()) {
                    about = nullptr;
                    QTest::qWait(50);
                }
            }
            if (!about)
                return;
            state.seen = true;
            state.mainAboveWhileOpen = !WaitForAbove(m_main->winId(), false);
            state.ownedByMain = about->parentWidget() == m_main.get() && about->isModal();
            // Client areas: Qt learns the frame sizes only some time after mapping. The window
            // manager gives both windows the same frame.
            const QPoint offset = about->geometry().center() - m_main->geometry().center();
            state.offCentreX = offset.x();
            state.offCentreY = offset.y();
            auto *tabs = about->findChild<QTabBar *>(QStringLiteral("tbsAbout"));
            state.tab = tabs->currentIndex();
            state.title = about->windowTitle();
            tabs->setCurrentIndex(1);
            QTest::keyClick(about->windowHandle(), key);
        });
        QTest::mouseClick(m_main->findChild<QPushButton *>(QStringLiteral("cmdAbout")), Qt::LeftButton);
        return state;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_main = std::make_unique<frmMain>();
        m_main->move(300, 200);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QVERIFY(WaitForAbove(m_main->winId(), true));
    }

    // Opened twice: every opening loads the box afresh, though the first left it on "Autor".
    void opensModalAndLowersMainWhileOpen()
    {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            const OpenState state = OpenAndClose(key);
            QVERIFY(state.seen);
            QVERIFY(!state.mainAboveWhileOpen);
            QVERIFY(state.ownedByMain);
            QCOMPARE(state.title, QStringLiteral("Info über Pixolva"));
            QVERIFY2(qAbs(state.offCentreX) <= 1 && qAbs(state.offCentreY) <= 1,
                     qPrintable(QStringLiteral("off centre by %1, %2").arg(state.offCentreX).arg(state.offCentreY)));
            QCOMPARE(state.tab, 0);
            QVERIFY(WaitForAbove(m_main->winId(), true));
            QVERIFY(m_main->findChildren<frmAbout *>().isEmpty());
        }
    }
};

QTEST_MAIN(AboutOpeningTest)
#include "AboutOpeningTest.moc"
