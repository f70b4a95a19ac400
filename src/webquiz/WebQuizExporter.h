#pragma once
// The web quiz export: a test (title, class/teacher line, records) becomes
// one self-contained HTML page that runs it as the preview does. Media are
// looked up as the preview looks them up, converted for browsers, and every
// conversion is reported.

#include "document/TestCompanion.h"
#include "exchange/ExchangeReport.h"
#include "webquiz/LiveAnswerKey.h"
#include "webquiz/WebQuizPage.h"
#include "platform/WorkProgress.h"
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

struct WebQuizExport {
    PageParts parts;         // the page, written or built when asked
    QStringList report;      // one line per media file and what became of it
    QStringList problems;    // those of the lines that say a file is missing or unusable
    // A page served to a live class holds no right answer: they are here.
    QList<LiveQuestionKey> keptKey;
    // The test as the page's script reads it, for a page made again with
    // another identity (a live class names its page by a class id).
    QJsonObject quiz;
    qint64 pageBytes() const { return parts.size(); }
    QByteArray page() const { return parts.bytes(); }
    bool tooLarge() const;   // above kWarnBytes: the user is asked first
    // The export's report: a media file missing or unusable is a question
    // that went across without part of it; each conversion is a note.
    ExchangeReport exchangeReport(int questions) const;
};

class WebQuizExporter {
public:
    static constexpr qint64 kWarnBytes = 50LL * 1024 * 1024;

    // Makes the page one of a learning-platform package: its media are
    // named as files beside it ("media/1.jpg", see PageMedia), and
    // `platform` (the package's version and pass mark) goes into the test
    // the script reads.
    void packageFor(const QJsonObject &platform) { m_platform = platform; }
    // The test's identity the page names its results by ("Test id:"), when
    // the records given have their media names resolved: that of the test
    // as it is held, so a package and a web quiz of one test agree.
    void identifyAs(const QString &identity) { m_identity = identity; }
    // Makes the page the one a live class is served: media as files beside
    // it (as in a package), the page in live mode, and the right answers
    // kept back (WebQuizExport::keptKey) for the teacher's computer to give
    // with each answer's feedback.
    void serveLive() { m_live = true; }
    // The test's language, written as the language of its texts on the
    // page, and its media descriptions: a picture's text alternative, the
    // transcript shown beside a sound or a video; with its shuffle, each
    // student's own order.
    void describeWith(const TestCompanion &companion) { m_companion = companion; }

    // testFolder: the second place bare media names are looked for (the
    // folder of the test file, with its final separator).
    // progress: told of each question, and asked whether to stop (a
    // cancelled export gives an empty page).
    WebQuizExport exportTest(const QString &title, const QString &teacher, const QStringList &records,
                             const QString &testFolder, WorkProgress *progress = nullptr);

    // About how large the page of these questions will be, from the sizes of
    // their media files alone (nothing is read or converted): what the
    // question about a large page is asked from, before the heavy work.
    static qint64 estimatePageBytes(const QStringList &records, const QString &testFolder);

    // "1.2 MB", "340 KB": how the report states sizes.
    static QString sizeText(qint64 bytes);
    // The line that says how big the page is, and warns above the limit.
    static QString sizeLine(const WebQuizExport &result) { return sizeLine(result.pageBytes()); }
    static QString sizeLine(qint64 pageBytes);
    static bool isTooLarge(qint64 pageBytes) { return pageBytes > kWarnBytes; }
    // What is said of a page above kWarnBytes.
    static QString tooLargeNote();

private:
    QJsonObject m_platform;
    QString m_identity;
    bool m_live = false;
    TestCompanion m_companion;
};
