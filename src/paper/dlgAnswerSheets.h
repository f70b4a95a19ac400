#pragma once
// File > "Print Answer Sheets...": one answer sheet for each student of a
// class list (or numbered sheets with a box for the name), in 1 to 4
// versions on A4 or Letter, to the printer or into a PDF; with versions,
// the question paper of each version can be printed with them.

#include <QDialog>
#include <QStringList>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSpinBox;
struct AnswerSheetRun;

class dlgAnswerSheets : public QDialog {
    Q_OBJECT
public:
    struct Test {
        QString path;   // its file, "" when not saved yet
        QString title;
        QString teacher;
        QStringList records;
    };
    // Adds the entry to the File menu before `before`.
    static QAction *addToMenu(QMenu *file, QAction *before, QWidget *owner, std::function<Test()> test);

    dlgAnswerSheets(const Test &test, QWidget *owner = nullptr);

private:
    void browse();
    // The run the dialog describes; false (the teacher told why) when it
    // cannot be printed.
    bool describe(AnswerSheetRun *run);
    void print(bool toPdf);

    Test m_test;
    QRadioButton *optClassList;
    QRadioButton *optCount;
    QLineEdit *txtClassList;
    QSpinBox *spnCount;
    QSpinBox *spnVersions;
    QComboBox *cboPaper;
    QCheckBox *chkPapers;
};
