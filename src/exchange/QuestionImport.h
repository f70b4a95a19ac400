#pragma once
// Bringing the questions of a file into a test: the file is read by its
// format, the questions that fit are taken in order (the others are named
// in the report), and media files that come with them are written (or
// copied) into one folder under safe names. Nothing is half-imported: a
// file that cannot be read, or a media file that cannot be written, gives
// no questions at all and leaves no files behind.

#include "exchange/QuestionFormatRegistry.h"
#include "platform/OpenFile.h"

#include <optional>

struct ImportRequest {
    QString path;
    const QuestionFormat *format = nullptr;   // nullptr: chosen by the file's name
    int room = 100;                           // how many questions still fit
    QString mediaFolder;                      // where the questions' media files go
    bool fullMediaPaths = false;              // records name them by full path, else by bare name
    QString avoidNamesIn;                     // a folder whose file names the media must not take
    WorkProgress *progress = nullptr;         // reported to, and asked whether to stop
    // The questions chosen from a bank (see listBank): their places among the
    // questions the file holds, 0-based. Empty: the first that fit.
    QList<int> pick;
    // The file already open (the bank listing opened it): read through this
    // handle, so the questions chosen are those of the file listed, even if
    // another file took its name meanwhile. None: `path` is opened.
    OpenFilePtr source;
};

// One question of a bank as the chooser lists it.
struct BankEntry {
    int place = 0;        // among the questions the file holds, 0-based
    bool trueFalse = false;
    QString text;
    QString category;
    int line = 0;
    QString answers;      // "A Rome; B Paris (right); C Oslo; D Bern", "False (right)"
    QString media;        // the media file it names; "" for none
};

struct BankListing {
    QList<BankEntry> entries;
    OpenFilePtr source;      // the file listed, for the import (ImportRequest::source)
    ExchangeReport report;   // failed when the file cannot be read
    bool cancelled = false;
};

// The questions a file holds that a test can take, for choosing from a bank
// larger than the room a test has.
BankListing listBank(const ImportRequest &request,
                     const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance());

// "1-20,35" (1-based places, as the chooser numbers them) as 0-based
// places; nullopt for text that is no such list or names a place beyond `count`.
std::optional<QList<int>> parsePick(const QString &text, int count);
// `n` places of `count` drawn at random from `seed` (the same seed, the
// same draw), in the file's order.
QList<int> drawAtRandom(int n, int count, quint32 seed);

struct ImportOutcome {
    const QuestionFormat *format = nullptr;
    QString title;          // the file's own, "" when it carries none
    QString teacher;
    QStringList records;    // ready to append
    QStringList descriptions;   // of each one's media, "" for none
    QStringList createdMedia;   // media files the import wrote, for a caller that must undo it
    ExchangeReport report;
    bool cancelled = false;   // stopped on request: nothing was taken, no file left
};

ImportOutcome importQuestions(const ImportRequest &request,
                              const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance());

// The largest file an import reads.
constexpr qint64 kMaxImportBytes = qint64(1) << 30;
