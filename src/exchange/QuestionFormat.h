#pragma once
// A question exchange format: one class per format, registered in the
// QuestionFormatRegistry. A format turns the bytes of a file into question
// records and a test into bytes; it never touches the disk itself (media
// files arrive as bytes in a read and are found through the source in a
// write), so the editor, ardeno-tool and the tests drive the same code.

#include "document/TestCompanion.h"
#include "exchange/ExchangeReport.h"
#include "platform/FileDialogService.h"
#include "platform/OpenFile.h"
#include "platform/WorkProgress.h"

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One question as it comes out of a file: a question record whose media
// field holds a file name ("none" for none), and, when the file carried the
// media file itself, its bytes.
struct ImportedQuestion {
    QString record;
    QByteArray mediaData;
    int line = 0;          // where the question starts in the source (1-based); 0 unknown
    QString category;      // the category the file files it under; "" for none
    QString description;   // of its media; "" for none
};

struct ExchangeQuestion;

struct ReadResult {
    QString title;          // the file's own title and class/teacher line; "" when it has none
    QString teacher;
    // At most the first KeptWhole questions: a bank a teacher chooses a test
    // from is no larger.
    QList<ImportedQuestion> questions;
    // Questions read after those: how many, and the lines of the first few
    // (a file of a million questions is not held in memory).
    int questionsBeyond = 0;
    QList<int> linesBeyond;
    ExchangeReport report;

    static constexpr int KeptWhole = 10000;
    // The category the questions read next are filed under (formats that
    // have categories set it as they read).
    QString category;
    static constexpr int LinesKeptBeyond = 20;

    // Adds a question read from the source, noting a field separator that
    // had to be replaced in its texts.
    void add(const ExchangeQuestion &question, int line, const QByteArray &mediaData = QByteArray());
};

// A result that carries nothing but the report of why.
inline ReadResult failedWith(const ExchangeReport &report)
{
    ReadResult r;
    r.report = report;
    return r;
}

// The test a format writes: its texts, its records as the document holds
// them, and where its media files are.
struct ExportSource {
    QString title;
    QString teacher;
    QStringList records;
    QString mediaFolder;   // the test's folder; a bare media name is looked for there too
    // The test's language and its media descriptions: a page gives them to
    // its reader, a file that names its media keeps them in a companion file.
    TestCompanion companion = TestCompanion();
    // The share of right answers that passes, in percent, for the formats
    // that grade (a learning-platform package); NoPassMark: the score alone
    // is reported.
    static constexpr int NoPassMark = -1;
    int passPercent = 50;
    // Long writers (the web page) report each question here and stop when
    // it is cancelled; none: run to the end.
    WorkProgress *progress = nullptr;

    // The existing file a media reference names (the reference itself, then
    // mediaFolder + reference), or "" when there is none.
    QString mediaPath(const QString &reference) const;
    // The same test with each media reference that names an existing file
    // made its full path: taken before a file dialog moves the working
    // directory, against which bare names resolve.
    ExportSource withResolvedMedia() const;
    // The test's identity (its "Test id:"): the one of the records as the
    // test holds them, also once their media names were resolved; "" until
    // withResolvedMedia() kept it.
    QString identity = QString();
    QString testIdentity() const;
};

struct WriteResult {
    QByteArray bytes;
    ExchangeReport report;
    // A file only its owner may read went into the bytes: the file is
    // written readable by its owner alone, never more open than its media.
    bool ownerOnly = false;
    // What goes into the companion file beside the file written (a test
    // file's language and descriptions; empty: an old one goes); nullopt
    // for a format that has none.
    std::optional<QByteArray> companion;
};

class QuestionFormat {
public:
    enum Capability {
        NoCapability = 0x0,
        Read = 0x1,
        Write = 0x2,
        ReadWrite = Read | Write,
        // Records name their media files, which travel beside the file
        // (copied there on export, looked for there on import).
        MediaBesideFile = 0x4,
    };
    Q_DECLARE_FLAGS(Capabilities, Capability)

    virtual ~QuestionFormat() = default;

    // "ard", "gift", "aiken", "moodlexml", "csv": the name --format takes.
    virtual QString shortName() const = 0;
    // The filter its file dialogs show, e.g. "GIFT text (*.gift *.txt)" with "*.gift;*.txt".
    virtual FileFilter nameFilter() const = 0;
    virtual Capabilities capabilities() const { return ReadWrite; }
    bool hasCapabilities(Capabilities wanted) const { return (capabilities() & wanted) == wanted; }

    // True when the name's last suffix is one of the filter's patterns'
    // (letter case ignored).
    virtual bool supportsFile(const QString &fileName) const;
    // The suffix a new file of this format gets ("gift").
    QString defaultSuffix() const;

    // fileName names the file in messages. A failed read reports why, with
    // the line, and gives no questions.
    virtual ReadResult read(const QByteArray &bytes, const QString &fileName) const = 0;
    // The import gives every reader the open file: this one reads its bytes
    // whole and reads them; a reader that takes its file a part at a time
    // through the handle (so that a file of one huge question is never held
    // whole beside its text) has its own.
    virtual ReadResult readParts(const OpenFile &file, const QString &fileName) const;
    virtual WriteResult write(const ExportSource &test) const = 0;
    // A format whose files may be far larger than memory should hold (a web
    // page with its media) writes the file itself, streamed through the
    // checked writer: the report says what went across, or fails with the
    // reason and leaves no file. Others write their bytes (nullopt here).
    virtual std::optional<ExchangeReport> writeFile(const ExportSource &test, const QString &path) const;

protected:
    QStringList suffixes() const;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(QuestionFormat::Capabilities)

// For a format that is only read.
class ReadableQuestionFormat : public QuestionFormat {
public:
    Capabilities capabilities() const override { return Read; }
    WriteResult write(const ExportSource &) const override;
};

// For a format that is only written (e.g. a page to take the test in).
class WritableQuestionFormat : public QuestionFormat {
public:
    Capabilities capabilities() const override { return Write; }
    ReadResult read(const QByteArray &, const QString &) const override;
};
