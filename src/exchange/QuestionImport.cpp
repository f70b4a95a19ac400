#include "exchange/QuestionImport.h"
#include "document/CompanionFile.h"
#include "document/QuestionView.h"
#include <QRegularExpression>
#include <random>
#include <numeric>

#include "exchange/MediaNames.h"
#include "platform/SourceFolder.h"

#include "document/MediaLookup.h"
#include "platform/RegularFile.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"
#include "document/MediaAdmission.h"
#include "pictures/PictureConversion.h"
#include "platform/OpenFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString countText(int n)
{
    return n == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(n);
}

// A text cut at `limit` characters, never between the halves of a character
// outside the basic plane.
QString cutAt(const QString &text, int limit)
{
    qsizetype n = limit;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

// Keeps a question within what the editor takes, so that the test it lands
// in can always be saved and opened again: a text longer than its box is
// cut at the box's limit (the report says which and how much), a media
// reference longer than any path is dropped.
void keepWithinLimits(QStringList &f, const QString &where, ExchangeReport &report)
{
    using namespace QuestionRecord;
    const auto cut = [&](int index, int limit, const QString &what) {
        if (index >= f.size() || f[index].size() <= limit)
            return;
        report.skip(where, QStringLiteral("%1 was cut to %2 characters (%3 left out).")
                               .arg(what).arg(limit).arg(f[index].size() - limit));
        f[index] = cutAt(f[index], limit);
    };
    cut(QuestionField, MaxQuestionText, QStringLiteral("its question"));
    if (f.size() == MultipleChoiceFields)
        for (int a = 0; a < 4; ++a)
            cut(FirstAnswerField + a, MaxAnswerText, QStringLiteral("its answer %1").arg(QChar(u'A' + a)));
    const int m = exactMediaFieldIndex(f);
    if (m >= 0 && f[m].size() > MaxMediaReference) {
        report.skip(where, QStringLiteral("its media reference is longer than any file name (%1 characters); left out.")
                               .arg(f[m].size()));
        f[m] = noMedia();
    }
}

// A picture of a kind the test cannot hold (PNG, GIF, WebP), embedded as
// `data` or the file `source` beside the question file, turned into one it
// can: `data` then holds the new bytes and *newName the name they go by
// ("logo.jpg" for "logo.png"). The reason when it cannot be read; "" and no
// new name when it is no such picture.
QString takeForeignPicture(const QString &reference, const OpenFilePtr &source, QByteArray &data, QString *newName)
{
    constexpr qint64 kLargestForeignPicture = 64 * 1024 * 1024;
    const bool named = PictureConversion::isForeignPictureName(reference);
    if (data.isEmpty()) {
        if (!named || !source)
            return QString();
        QString why;
        data = source->readAll(kLargestForeignPicture, &why);
        if (!why.isEmpty())
            return why;
    } else if (!named && !PictureConversion::looksForeign(data.left(16))) {
        return QString();
    }
    const PictureConversion::Converted c = PictureConversion::toTestPicture(data);
    if (!c.ok()) {
        data.clear();
        return c.error;
    }
    data = c.bytes;
    const QString bare = MediaLookup::nameOf(reference);
    const qsizetype dot = bare.lastIndexOf(QLatin1Char('.'));
    *newName = (dot > 0 ? bare.left(dot) : bare) + QLatin1Char('.') + c.suffix;
    return QString();
}

QString titleWithinLimit(const QString &text, const QString &what, ExchangeReport &report)
{
    if (text.size() <= TestDocument::MaxTitleText)
        return text;
    report.note(QStringLiteral("The file's %1 was cut to %2 characters.").arg(what).arg(TestDocument::MaxTitleText));
    return cutAt(text, TestDocument::MaxTitleText);
}
// The format the request names (or the file's name says) and the file,
// within the import's size (the request's handle, or one opened here, only
// on a regular file; *opened gets it); false with the report failed.
bool readSource(const ImportRequest &request, const QuestionFormatRegistry &registry, const QuestionFormat **format,
                ExchangeReport &report, OpenFilePtr *opened)
{
    const QString name = MediaLookup::nameOf(request.path);
    *format = request.format ? request.format : registry.forFileName(request.path, QuestionFormat::Read);
    if (!*format) {
        report.fail(QStringLiteral("The format of \"%1\" is not known from its name (%2).")
                        .arg(name, registry.knownEndings(QuestionFormat::Read)));
        return false;
    }
    // Only a regular file is read: a pipe or a device would never end.
    QString reason;
    OpenFilePtr file = request.source ? request.source : OpenFile::open(request.path, &reason);
    if (file && file->size() > kMaxImportBytes)
        reason = RegularFile::tooLarge(kMaxImportBytes);
    *opened = file;
    if (!reason.isEmpty()) {
        report.fail(QStringLiteral("\"%1\" cannot be read: %2").arg(name, reason));
        return false;
    }
    return true;
}
}

namespace {
// The answers as the chooser lists them, the right one marked.
QString answersText(const QuestionView &q)
{
    const QString right = QStringLiteral(" (right)");
    if (q.isTrueFalse())
        return (q.rightAnswer() == 0 ? QStringLiteral("True") : QStringLiteral("False")) + right;
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts << QStringLiteral("%1 %2%3").arg(QChar(u'A' + i)).arg(q.answer(i), i == q.rightAnswer() ? right : QString());
    return parts.join(QStringLiteral("; "));
}
}

BankListing listBank(const ImportRequest &request, const QuestionFormatRegistry &registry)
{
    BankListing out;
    const QString name = MediaLookup::nameOf(request.path);
    const QuestionFormat *format = nullptr;
    if (!readSource(request, registry, &format, out.report, &out.source))
        return out;
    if (WorkProgress::stopped(request.progress)) {
        out.cancelled = true;
        return out;
    }
    const ReadResult read = format->readParts(*out.source, name);
    out.report.absorb(read.report);
    for (int k = 0; k < read.questions.size(); ++k) {
        const ImportedQuestion &q = read.questions[k];
        const QuestionView view(q.record);
        out.entries << BankEntry{k, view.isTrueFalse(), view.question(), q.category, q.line,
                                 answersText(view), view.hasMedia() ? MediaLookup::nameOf(view.media()) : QString()};
    }
    return out;
}

std::optional<QList<int>> parsePick(const QString &text, int count)
{
    static const QRegularExpression part(QStringLiteral("^\\s*(\\d{1,6})\\s*(?:-\\s*(\\d{1,6})\\s*)?$"));
    std::vector<std::pair<int, int>> ranges;
    for (const QString &piece : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = part.match(piece);
        if (!m.hasMatch())
            return std::nullopt;
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        if (from < 1 || to < from || to > count)
            return std::nullopt;
        ranges.emplace_back(from, to);
    }
    // Ranges merged before they are counted out: thousands of overlapping
    // ranges cost their number, never their sum.
    std::sort(ranges.begin(), ranges.end());
    QList<int> out;
    int next = 1;   // the first place not yet given
    for (const auto &[from, to] : ranges) {
        for (int n = std::max(from, next); n <= to; ++n)
            out << n - 1;
        next = std::max(next, to + 1);
    }
    return out;
}

QList<int> drawAtRandom(int n, int count, quint32 seed)
{
    QList<int> places(count);
    std::iota(places.begin(), places.end(), 0);
    // A generator of our own seeding: the same seed draws the same
    // questions on every machine and every run.
    std::mt19937 generator(seed);
    for (int i = count - 1; i > 0; --i)
        std::swap(places[i], places[int(generator() % quint32(i + 1))]);
    places.resize(std::clamp(n, 0, count));
    std::sort(places.begin(), places.end());
    return places;
}

ImportOutcome importQuestions(const ImportRequest &request, const QuestionFormatRegistry &registry)
{
    ImportOutcome out;
    const QString name = MediaLookup::nameOf(request.path);
    WorkProgress *progress = request.progress;
    if (progress)
        progress->setTotal(100);
    const auto cancelled = [&out](MediaNames *media) {
        if (media)
            media->removeCreated();
        out.records.clear();
        out.descriptions.clear();
        out.cancelled = true;
        out.report.fail(QStringLiteral("The import was cancelled; nothing was taken."));
        return out;
    };
    OpenFilePtr source;
    if (!readSource(request, registry, &out.format, out.report, &source))
        return out;
    if (WorkProgress::stopped(progress))
        return cancelled(nullptr);
    if (progress)
        progress->setDone(20);
    ReadResult read = out.format->readParts(*source, name);
    if (WorkProgress::stopped(progress))
        return cancelled(nullptr);
    if (progress)
        progress->setDone(60);
    out.report.absorb(read.report);
    if (out.report.failed())
        return out;
    out.title = titleWithinLimit(read.title, QStringLiteral("title"), out.report);
    out.teacher = titleWithinLimit(read.teacher, QStringLiteral("class/teacher line"), out.report);
    out.report.skipUnstorable(QStringLiteral("Title"), out.title + out.teacher);
    // Questions from another test bring the descriptions its companion file keeps.
    if (out.format->shortName() == QLatin1String("ard")) {
        QStringList records;
        for (const ImportedQuestion &q : std::as_const(read.questions))
            records << q.record;
        const CompanionFile::Read beside = CompanionFile::readBeside(request.path, records);
        for (qsizetype i = 0; i < read.questions.size(); ++i)
            read.questions[i].description = beside.companion.description(int(i) + 1);
    }

    MediaNames media(request.mediaFolder, request.avoidNamesIn);
    // The bank's folder, opened once: every media file it names is opened
    // beneath it, and only that open file is read from then on.
    const SourceFolder bankFolder(QFileInfo(request.path).absolutePath());
    const auto fail = [&](const QString &message) {
        media.removeCreated();
        out.records.clear();
        out.descriptions.clear();
        out.report.fail(message);
        return out;
    };
    constexpr int kNamedOverflow = 20;
    int overflow = 0;
    // Each question that does not fit is named up to a point; a file of a
    // million questions must not make a report of a million lines.
    const QString full = QStringLiteral("the test is full (%1 questions); not imported.").arg(100);
    const auto doesNotFit = [&](const QString &where) {
        if (++overflow <= kNamedOverflow)
            out.report.skip(where, full);
    };
    // The questions chosen from a bank, in the file's order; else all.
    QList<int> order = request.pick;
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    order.erase(std::remove_if(order.begin(), order.end(),
                               [&](int p) { return p < 0 || p >= read.questions.size(); }),
                order.end());
    if (request.pick.isEmpty())
        for (int k = 0; k < read.questions.size(); ++k)
            order << k;
    else if (order.size() < read.questions.size())
        out.report.note(QStringLiteral("%1 of the file's %2 questions were chosen.").arg(order.size()).arg(read.questions.size()));
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (WorkProgress::stopped(progress))
            return cancelled(&media);
        if (progress)
            progress->setDone(int(60 + 40 * i / order.size()));
        const qsizetype k = order[i];
        const ImportedQuestion &q = read.questions[k];
        const QString where = q.line > 0 ? ExchangeReport::atLine(q.line) : ExchangeReport::atQuestion(int(k + 1));
        if (out.records.size() >= request.room) {
            doesNotFit(where);
            continue;
        }
        QStringList f = QuestionRecord::fields(q.record);
        keepWithinLimits(f, where, out.report);
        out.report.skipUnstorable(where, q.record);
        const int m = QuestionRecord::exactMediaFieldIndex(f);
        if (m >= 0 && !QuestionRecord::isNoMedia(f[m]) && !f[m].isEmpty()) {
            QString error;
            QString placed;
            QByteArray data = q.mediaData;
            const SourceFolder::Opening source = data.isEmpty() ? bankFolder.open(f[m]) : SourceFolder::Opening();
            // A PNG, GIF or WebP picture comes in as a kind the test holds.
            QString converted;
            const QString unconvertible = takeForeignPicture(f[m], source.file, data, &converted);
            if (!converted.isEmpty()) {
                out.report.note(QStringLiteral("%1: its picture %2 came in as %3.")
                                    .arg(where, MediaLookup::nameOf(f[m]), converted));
                f[m] = converted;
            }
            // The kind comes from the name the file will have in the test.
            const QString refused = !unconvertible.isEmpty() ? unconvertible
                                    : !data.isEmpty()
                                        ? MediaAdmission::refusalOfContent(MediaNames::sanitise(f[m]), data.left(4096), data.size())
                                    : source.outcome == SourceFolder::Outcome::Outside
                                        ? QStringLiteral("it is not inside the folder of \"%1\"").arg(name)
                                    : source.outcome == SourceFolder::Outcome::Unreadable ? source.reason
                                    : source.file ? MediaAdmission::refusalOf(*source.file, MediaNames::sanitise(f[m]))
                                                  : QString();
            if (!refused.isEmpty()) {
                // Never carried along; the question comes without it.
                out.report.skip(where, QStringLiteral("its media file %1 was not taken: %2.").arg(f[m], refused));
                f[m] = QuestionRecord::noMedia();
            } else if (!data.isEmpty()) {
                placed = media.write(f[m], data, &error);
            } else if (source.file) {
                placed = media.copy(*source.file, f[m], &error);
            } else {
                out.report.skip(where, QStringLiteral("its media file %1 was not found beside \"%2\"; the question "
                                                      "names it all the same.").arg(f[m], name));
            }
            if (!error.isEmpty())
                return fail(QStringLiteral("The media file %1 of %2 could not be written into \"%3\": %4")
                                .arg(f[m], where.toLower(), request.mediaFolder, error));
            if (!placed.isEmpty()) {
                // A name made safe, or numbered beside a different file of
                // that name, is said: the teacher looks for the file by it.
                const QString given = MediaLookup::nameOf(placed);
                if (given != MediaLookup::nameOf(f[m]))
                    out.report.note(QStringLiteral("%1: its media file %2 is named %3 in the test.")
                                        .arg(where, MediaLookup::nameOf(f[m]), given));
                // A file the test's own folder holds already is named bare:
                // the test finds it there.
                const bool inTestFolder = !request.avoidNamesIn.isEmpty()
                                          && QFileInfo(placed).absolutePath() == QDir(request.avoidNamesIn).absolutePath();
                f[m] = request.fullMediaPaths && !inTestFolder ? placed : given;
            }
        }
        out.records << QuestionRecord::join(f);
        // A question that came without its media keeps no description of it.
        out.descriptions << (m >= 0 && !QuestionRecord::isNoMedia(f[m]) && !f[m].isEmpty() ? q.description : QString());
    }
    // The questions the reader counted but did not keep: none of them fits.
    for (const int line : std::as_const(read.linesBeyond))
        doesNotFit(ExchangeReport::atLine(line));
    overflow += read.questionsBeyond - int(read.linesBeyond.size());
    out.report.sortSkipped();
    // The rest are counted as questions under the same reason: the report's
    // total is of questions, never of its own lines.
    out.report.skipUnlisted(full, overflow - kNamedOverflow);
    out.createdMedia = media.created();
    out.report.addCarried(int(out.records.size()));
    out.report.setSummary(QStringLiteral("%1 imported from \"%2\".").arg(countText(int(out.records.size())), name));
    return out;
}
