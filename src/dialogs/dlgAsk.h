#pragma once
// "Leaving Edit Mode": asks before the editor drops the question being
// edited. Its two answers outlive the dialog: LeaveConfirmed is the last
// answer (Cancel = false, OK or any other way of closing = true) and
// DontAskAgain tells the editor to reuse it without asking.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class dlgAsk : public QDialog {
    Q_OBJECT
public:
    explicit dlgAsk(QWidget *parent = nullptr);
    ~dlgAsk() override;

    // Both false when the program starts; never saved.
    static bool DontAskAgain;
    static bool LeaveConfirmed;

    // The dialog while it is open (nullptr otherwise), so the editor can close
    // it when the program ends.
    static dlgAsk *instance();

    // Shows the dialog modally over parent and returns LeaveConfirmed.
    static bool ask(QWidget *parent);

    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    void chkAsk_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *Label1;
    QPushButton *OKButton;
    QPushButton *CancelButton;
    QCheckBox *chkAsk;
};
