// The standard error message and the information notice as the user sees them.
#include "app/MessageBoxes.h"
#include "base/RuntimeError.h"

#include <QtTest>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
struct Seen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool modal = false;
};
}

class MessageBoxesTest : public QObject
{
    Q_OBJECT

private:
    template <typename Show>
    Seen Capture(Show show)
    {
        Seen seen;
        QTimer::singleShot(50, [&seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = int(box->buttons().size());
            seen.modal = box->isModal();
            box->button(QMessageBox::Ok)->click();
        });
        show();
        return seen;
    }

private Q_SLOTS:
    void standardErrorMessage()
    {
        const Seen seen = Capture([] {
            MessageBoxes::ShowStandardError(nullptr, RuntimeError(6, QStringLiteral("Overflow")));
        });
        QCOMPARE(seen.title, QStringLiteral("Pixolva"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, 1);
        QVERIFY(seen.modal);
        QCOMPARE(seen.text, QStringLiteral("Overflow\n(Runtime-Error: 6)"));
    }

    void notice()
    {
        const Seen seen = Capture([] {
            MessageBoxes::ShowNotice(nullptr, QStringLiteral("Zeile eins\r\nZeile <b>zwei</b>"));
        });
        QCOMPARE(seen.title, QStringLiteral("Pixolva"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttons, 1);
        QCOMPARE(seen.text, QStringLiteral("Zeile eins\nZeile <b>zwei</b>"));
    }

    void reportedErrorsReachTheInstalledReporter()
    {
        static QList<int> reported;
        SetErrorReporter([](const RuntimeError &error) { reported << error.number(); });
        ReportError(RuntimeError(6, QStringLiteral("Overflow")));
        SetErrorReporter(nullptr);
        ReportError(RuntimeError(5, QStringLiteral("dropped")));
        QCOMPARE(reported, QList<int>{6});
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "MessageBoxesTest.moc"
