#pragma once
// Choosing from a bank: a file of more questions than the test has room
// for lists every question it can take (number, kind, text, category) with
// a box each, a text filter, its categories, and "Take N at random", which
// checks the questions drawn so the teacher sees them before importing.

#include "exchange/BankChoice.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QTableView;

class dlgBankChooser : public QDialog {
    Q_OBJECT
public:
    dlgBankChooser(BankChoice choice, const QString &fileName, QWidget *parent = nullptr);
    const BankChoice &choice() const { return m_choice; }

    // Shows the chooser; the places chosen, or nothing when cancelled.
    static std::optional<QList<int>> choose(const QList<BankEntry> &entries, int room, const QString &fileName,
                                            QWidget *parent);

    QLineEdit *txtFilter = nullptr;
    QComboBox *cboCategory = nullptr;
    QTableView *lstQuestions = nullptr;
    QSpinBox *spnRandom = nullptr;
    QPushButton *cmdDraw = nullptr;
    QLabel *lblChosen = nullptr;
    QPushButton *cmdImport = nullptr;

private:
    void fill();
    void showCount();

    BankChoice m_choice;
    QStandardItemModel *m_model = nullptr;
    bool m_filling = false;
};
