#pragma once
// A scan of a class's filled answer sheets read into result logs: every
// page of the PDFs and every photo given, in any order, upside down, on
// either paper. Each sheet of the test becomes one result log in the
// results folder (the teacher's alone), named after its student, in the
// format the web quiz writes, so Class Results reads it unchanged. A mark
// the program could only guess at is left unanswered in the log and listed
// as doubtful, for the teacher to decide; the decision rewrites the log.
//
// Pages are read first, the logs written after, each whole: a scan that is
// cancelled or fails leaves the folder as it was.

#include "paper/PaperTest.h"
#include "paper/SheetCode.h"
#include "platform/OpenFile.h"
#include "platform/OutputFolder.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class SheetScanner;
class WorkProgress;

struct ScanDoubt {
    int question = 0;          // 1-based, in the test's order
    QString reason;            // "more than one bubble is marked"
    QString reasonWord;        // "two-marks", "faint"
    QList<double> darkness;    // per bubble of the test's options
    QImage row;                // the row as it was scanned
};

struct ScannedSheet {
    QString source;            // "scan.pdf, page 3" or "IMG_0412.jpg"
    SheetCode code;
    QString student;           // the name on the sheet, or "Sheet 7"
    QStringList given;         // per question in the test's order: "A".."D", "True", "False", "-"
    QList<ScanDoubt> doubts;
    QString logFile;           // its result log's name in the results folder
    QDateTime date;
};

struct ScanOutcome {
    QList<ScannedSheet> sheets;
    QStringList notRead;       // "scan.pdf, page 7: it is an answer sheet of another test"
    QString failure;           // the whole scan refused; nothing written
    bool cancelled = false;
    int doubtCount() const;
};

class ScanRun {
public:
    // The most pages one scan reads: a year group's sheets, many times over.
    static constexpr int MostPages = 400;
    // A photo is read at most this many pixels along its longer side.
    static constexpr int LongestSide = 3300;

    ScanRun(const PaperTest &test, SheetScanner &scanner, OutputFolderPtr results);

    // Reads every input and writes the logs.
    ScanOutcome run(const QList<OpenFilePtr> &inputs, WorkProgress *progress = nullptr);
    // The teacher's answer to a doubtful question ("A".."D", "True",
    // "False", or "-" for none): the sheet's log is written again with it,
    // and the doubt is gone. False with the reason when the log cannot be
    // written.
    bool decide(ScannedSheet &sheet, int question, const QString &answer, QString *reason);

    // The JSON `ardeno-tool scan --json` prints.
    static QByteArray json(const ScanOutcome &outcome);

private:
    void readPage(const QImage &page, const QString &source, ScanOutcome &out);
    void readInput(const OpenFilePtr &input, ScanOutcome &out, WorkProgress *progress);
    // A log written whole under a temporary name, then put in place.
    struct StagedLog {
        QString name;
        QString temp;    // the new log, until it is in place
        QString aside;   // the log it replaces, until all are in place
    };
    bool stageLog(ScannedSheet &sheet, QString *temp, QString *reason);
    // Puts every staged log in place, or none (the logs they replaced kept);
    // false with the log that failed and why.
    bool placeLogs(QList<StagedLog> &logs, QString *failed, QString *reason);
    bool writeLog(ScannedSheet &sheet, QString *reason);
    QString logName(const QString &student) const;

    const PaperTest &m_test;
    SheetScanner &m_scanner;
    OutputFolderPtr m_results;
    QStringList m_taken;       // log names of this scan
};
