// The About box: product, version, maker's data, legal notice and the system information button.
#pragma once

#include "base/LocalText.h"

#include <QDialog>
#include <QList>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTabBar;

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // Hands a web or mailto address to the desktop.
    using AddressOpener = std::function<void(const QString &address)>;

    explicit frmAbout(QWidget *parent = nullptr);

    // Its texts beyond the controls, for the language file to hold them all.
    static QList<LocalText> Texts();

    // Tests record the addresses instead of starting a browser; an empty opener restores the
    // desktop's URL handler.
    static void SetAddressOpenerForTesting(AddressOpener opener);

    void StartSysInfo();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateControls();
    QLabel *AddLabel(QWidget *parent, const char *name, const QString &caption, int left, int top,
                     int width, int height, qreal pointSize, bool bold, bool noLoc);
    void Form_Load();
    void tbsAbout_Click();
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void OpenAddress(const QString &address);
    void lblLink_Click(int index);
    void lblMail_Click(int index);

    QTabBar *tbsAbout = nullptr;
    std::array<QWidget *, 2> picAbout{};
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    std::array<QLabel *, 2> lblLink{};
    std::array<QLabel *, 2> lblMail{};
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
};
