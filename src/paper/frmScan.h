#pragma once
// Tools > "Read Scanned Sheets...": the teacher adds the copier's PDFs and
// the phone's photos, and "Read Sheets" turns every answer sheet of the
// test among them into a result log in the results folder. The window then
// lists each sheet read, each page that was not a sheet of the test and
// why, and each doubtful mark: its row as it was scanned and the choices to
// confirm, the decision written into that student's log. "Open in Class
// Results" shows the class.

#include "paper/ScanRun.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;

class frmScan : public QMainWindow {
    Q_OBJECT
public:
    struct Test {
        QString path;
        QString title;
        QString teacher;
        QStringList records;
    };
    // Adds Tools > "Read Scanned Sheets..." after `after`; a test not saved
    // as it is on screen is refused with the reason (the logs name the
    // saved test).
    static QAction *addToMenu(QMenu *tools, QAction *after, QWidget *owner, std::function<Test()> test);

    frmScan(const Test &test, QWidget *owner = nullptr);
    ~frmScan() override;

    void addScans(const QStringList &files);
    void setResultsFolder(const QString &folder);
    // Reads every scan added; false (the teacher told why) when nothing could be.
    bool readSheets();
    const ScanOutcome &outcome() const { return m_outcome; }

private:
    void buildUi();
    void chooseScans();
    void chooseFolder();
    void showOutcome();
    void showDoubt();
    void decide(const QString &answer);

    PaperTest m_test;
    QString m_testPath;
    QString m_folder;
    std::unique_ptr<SheetScanner> m_scanner;
    std::unique_ptr<ScanRun> m_run;
    ScanOutcome m_outcome;
    // Each listed doubt: its sheet and question.
    QList<QPair<int, int>> m_doubts;

    QListWidget *lstScans;
    QLineEdit *txtFolder;
    QPushButton *cmdRead;
    QLabel *lblSummary;
    QTableWidget *tblSheets;
    QListWidget *lstNotRead;
    QListWidget *lstDoubts;
    QLabel *picDoubt;
    QList<QPushButton *> cmdChoice;
    QPushButton *cmdNone;
};
