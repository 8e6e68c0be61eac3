// Where the save dialog opens on a real desktop: over its owner, inside the owner's monitor.
#include "capture/mdlFileDialog.h"
#include "support/ModalWatcher.h"

#include <QtTest>

#include <QFileDialog>
#include <QWindow>

using ModalWatcher::WhenModal;

class FileDialogPlacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWatcher::Clear();
    }

    void placement_data()
    {
        // Owner client rectangles on two monitors of 1280 x 1024 side by side, no panels. Where
        // the dialog's outer rectangle goes, per axis: 50 pixels in from the owner's outer edge
        // (the dialog is larger than these owners), centred over a larger owner, or pushed back
        // flush with the far edge of the owner's monitor.
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QRect>("work");
        QTest::addColumn<QString>("horizontal");
        QTest::addColumn<QString>("vertical");
        const QRect left(0, 0, 1280, 1024);
        const QRect right(1280, 0, 1280, 1024);
        QTest::newRow("small owner") << QRect(300, 300, 270, 200) << left << "inset" << "inset";
        QTest::newRow("owner in the bottom-right corner of the second monitor")
            << QRect(2280, 800, 270, 200) << right << "flush" << "flush";
        QTest::newRow("owner at the inner edge of the second monitor")
            << QRect(1290, 400, 270, 200) << right << "inset" << "inset";
        QTest::newRow("owner larger than the dialog") << QRect(1330, 60, 1100, 900) << right << "centred" << "centred";
    }
    void placement()
    {
        QFETCH(QRect, owner);
        QFETCH(QRect, work);
        QFETCH(QString, horizontal);
        QFETCH(QString, vertical);

        QWidget window;
        window.setWindowTitle(QStringLiteral("Owner"));
        window.setGeometry(owner);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
        QTRY_COMPARE(window.geometry(), owner);
        const QRect ownerFrame = window.frameGeometry();

        QRect frame;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            // The dialog moves once it is on the screen: read it when it has stood still a while.
            QRect previous;
            QDeadlineTimer still(300);
            const QDeadlineTimer limit(5000);
            while (!still.hasExpired() && !limit.hasExpired()) {
                QTest::qWait(20);
                if (dialog->frameGeometry() != previous) {
                    previous = dialog->frameGeometry();
                    still.setRemainingTime(300);
                }
            }
            frame = previous;
            dialog->reject();
        }, nullptr, [](QFileDialog *dialog) { return dialog->windowHandle() && dialog->windowHandle()->isExposed(); });
        qint32 flags = 0;
        qint32 filterIndex = 1;
        mdlFileDialog::ShowSaveDialog(flags, QDir::tempPath(),
                                      mdlFileDialog::BuildDialogFilter({"Bitmap (*.bmp)", "*.bmp"}), filterIndex,
                                      QStringLiteral("bmp"), QString(), QString(), &window);

        const QString where = QStringLiteral("frame %1,%2 %3x%4, owner frame %5,%6 %7x%8")
                                  .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                                  .arg(ownerFrame.x()).arg(ownerFrame.y()).arg(ownerFrame.width()).arg(ownerFrame.height());
        QVERIFY2(work.contains(frame), qPrintable(where));
        const auto expect = [&](const QString &rule, int at, int ownerStart, int ownerSize, int size, int workEnd) {
            if (rule == QLatin1String("inset"))
                return at == ownerStart + 50;
            if (rule == QLatin1String("flush"))
                return at + size == workEnd;
            return qAbs(at - (ownerStart + (ownerSize - size) / 2)) <= 1;
        };
        QVERIFY2(expect(horizontal, frame.x(), ownerFrame.x(), ownerFrame.width(), frame.width(), work.x() + work.width()),
                 qPrintable(where));
        QVERIFY2(expect(vertical, frame.y(), ownerFrame.y(), ownerFrame.height(), frame.height(), work.y() + work.height()),
                 qPrintable(where));
    }
};

QTEST_MAIN(FileDialogPlacementTest)
#include "FileDialogPlacementTest.moc"
