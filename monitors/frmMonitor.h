// The monitor selection dialog: a scaled map of the monitors; a click picks one or all of them.
#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QList>

class QLabel;

class frmMonitor : public QDialog
{
    Q_OBJECT

public:
    explicit frmMonitor(QWidget *parent = nullptr);

    // Shows the dialog modally over frmParent until the user picks: the chosen monitor's handle,
    // or 0 for the whole virtual screen (also when the window is closed). The dialog only hides;
    // the caller reads the result and destroys it.
    qint32 ShowDlg(QWidget *frmParent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    QLabel *NewMonitorBox(int index);
    void lblDesktop_Click();
    void lblMonitor_Click(int index);

    QLabel *lblDesktop = nullptr;
    QList<QLabel *> lblMonitor; // element 0 designed, the others created at load

    MonitorHandle SelectedMonitor = 0;
    bool m_loaded = false;
    QLabel *m_pressed = nullptr; // a click is a press and a release on the same box
};
