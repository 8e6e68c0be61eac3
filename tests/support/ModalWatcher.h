// Drives modal windows from a test: acts on the next one that appears, while its event loop runs.
#pragma once

#include <QtWidgets>
#include <QtTest>

#include <functional>

namespace ModalWatcher {

// Runs action on the next visible modal window of type T (other than notThis) once ready(window)
// holds. Arm it before the call that opens the window. A window that does not come within ten
// seconds fails the test and closes every modal window, so no test hangs.
template <typename T>
void WhenModal(std::function<void(T *)> action, QWidget *notThis = nullptr, std::function<bool(T *)> ready = nullptr)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        const bool found = modal && modal != notThis && modal->isVisible() && (!ready || ready(modal));
        if (!found && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (found)
            return action(modal);
        // Names what was open instead, so that a failure far away can be read from its log.
        QWidget *other = QApplication::activeModalWidget();
        const QByteArray instead = !other ? QByteArray("nothing")
                                       : QByteArray(other->metaObject()->className()) + " \"" + other->windowTitle().toUtf8() + "\" "
                                             + (qobject_cast<QMessageBox *>(other) ? qobject_cast<QMessageBox *>(other)->text().toUtf8() : QByteArray());
        QTest::qFail("the expected window did not appear; open was: " + instead, __FILE__, __LINE__);
        while (QWidget *open = QApplication::activeModalWidget())
            open->hide();
    });
    timer->start(20);
}

}
