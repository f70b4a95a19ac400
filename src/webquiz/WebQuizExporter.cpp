#include "webquiz/WebQuizExporter.h"

#include "pictures/PictureFit.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "document/QuestionView.h"
#include "webquiz/WebMediaConverter.h"
#include "webquiz/WebQuizPage.h"
#include "document/FileKind.h"
#include "document/TestFile.h"

#include <QHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QSet>
#include <QJsonObject>

namespace {
const char *kindKey(ConvertedMedia::Kind kind)
{
    switch (kind) {
    case ConvertedMedia::Kind::Picture: return "picture";
    case ConvertedMedia::Kind::Sound: return "sound";
    case ConvertedMedia::Kind::Tune: return "tune";
    case ConvertedMedia::Kind::Video: return "video";
    }
    return "picture";
}

// Pictures are fitted where the preview fits them.
constexpr int kPictureArea = kPreviewPictureInner;

// The page's replay button plays every kind it shows, whatever the letter
// case of the name ("Song.MID", "tune.midi"); the preview keeps the quiz
// player's lower-case rule.
bool replays(const QString &path)
{
    static const QStringList known = {QStringLiteral("wav"), QStringLiteral("mid"), QStringLiteral("midi"),
                                      QStringLiteral("mp3"), QStringLiteral("mpg"), QStringLiteral("mpeg"),
                                      QStringLiteral("avi")};
    return known.contains(fileKindOf(path).toLower());
}
}

qint64 WebQuizExporter::estimatePageBytes(const QStringList &records, const QString &testFolder)
{
    // The templates and the two answer sounds.
    qint64 bytes = 200 * 1024;
    QSet<QString> counted;
    for (const QString &record : records) {
        const QString path = MediaLookup::resolve(QuestionView(record).shownMedia(), testFolder);
        if (path.isEmpty() || counted.contains(path))
            continue;
        counted.insert(path);
        bytes += PageParts::base64Size(QFileInfo(path).size());
    }
    return bytes;
}

ExchangeReport WebQuizExport::exchangeReport(int questions) const
{
    ExchangeReport out;
    for (const QString &line : report) {
        if (problems.contains(line)) {
            // "Question 3: name: why" -> where "Question 3", why "name: why".
            const qsizetype colon = line.indexOf(QLatin1String(": "));
            out.skip(line.left(colon), line.mid(colon + 2));
        } else {
            out.note(line);
        }
    }
    out.addCarried(questions);
    return out;
}

bool WebQuizExport::tooLarge() const
{
    return WebQuizExporter::isTooLarge(pageBytes());
}

QString WebQuizExporter::sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
    return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

QString WebQuizExporter::sizeLine(qint64 pageBytes)
{
    QString line = QStringLiteral("The page is %1.").arg(sizeText(pageBytes));
    if (isTooLarge(pageBytes))
        line += QLatin1Char(' ') + tooLargeNote();
    return line;
}

QString WebQuizExporter::tooLargeNote()
{
    return QStringLiteral("That is more than %1 MB: it may load slowly or not at all on phones and "
                          "tablets, and many mail systems refuse it.")
        .arg(kWarnBytes >> 20);
}

WebQuizExport WebQuizExporter::exportTest(const QString &title, const QString &teacher, const QStringList &records,
                                          const QString &testFolder, WorkProgress *progress)
{
    WebQuizExport result;
    WebMediaConverter converter;
    QList<PageMedia> media;
    QHash<QString, int> mediaIndex;   // a file used twice goes in once
    QJsonArray questions;

    if (progress)
        progress->setTotal(records.size() + 1);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (WorkProgress::stopped(progress))
            return WebQuizExport();
        if (progress)
            progress->setDone(i);
        // The page shows what the preview shows: a record of unknown kind
        // or with too few fields gets only its kind.
        const QuestionView q(records[i]);
        const bool known = q.kind() != QuestionKind::Unknown;
        const bool shown = q.isComplete();
        QJsonObject o;
        o[QStringLiteral("kind")] = q.isMultipleChoice() ? QStringLiteral("m")
                                    : q.isTrueFalse()    ? QStringLiteral("t")
                                                         : QStringLiteral("x");
        o[QStringLiteral("empty")] = records[i].isEmpty();
        o[QStringLiteral("tooFew")] = known && !shown;
        o[QStringLiteral("field0")] = known ? q.kindField() : QString();
        o[QStringLiteral("question")] = shown ? q.question() : QString();
        o[QStringLiteral("answers")] = QJsonArray::fromStringList(q.answers());
        o[QStringLiteral("correct")] = shown ? q.rightAnswer() : 0;

        const QString reference = q.shownMedia();
        const QString path = MediaLookup::resolve(reference, testFolder);
        const qsizetype problemsBefore = result.problems.size();
        const QString label = QStringLiteral("Question %1: %2").arg(i + 1).arg(MediaLookup::nameOf(reference));
        if (shown && path.isEmpty() && !QuestionRecord::isNoMedia(reference) && !reference.isEmpty())
            result.problems << label + QStringLiteral(": not found, the question is shown without it");
        if (!path.isEmpty()) {
            const ConvertedMedia c = converter.convert(path);
            QJsonObject m;
            m[QStringLiteral("kind")] = QLatin1String(kindKey(c.kind));
            m[QStringLiteral("replay")] = replays(path);
            if (!c.ok()) {
                m[QStringLiteral("error")] = true;
                result.problems << label + QStringLiteral(": cannot be used (%1)").arg(c.error);
            } else {
                int index = mediaIndex.value(path, -1);
                if (index < 0) {
                    index = int(media.size());
                    PageMedia file{c.media.bytes, c.media.mimeType, c.asItIs, QString(), c.privateSource};
                    if (!m_platform.isEmpty() || m_live)
                        file.packagedName = QStringLiteral("media/%1.%2").arg(index + 1).arg(file.suffix());
                    media.append(file);
                    mediaIndex.insert(path, index);
                }
                m[QStringLiteral("index")] = index;
                if (c.kind == ConvertedMedia::Kind::Picture) {
                    const QRect r = fitPicture(QSize(kPictureArea, kPictureArea), c.pictureSize).target;
                    m[QStringLiteral("fit")] = QJsonArray{r.x(), r.y(), r.width(), r.height()};
                }
                if (c.scaledPixels.isValid())
                    result.report << label + QStringLiteral(": scaled from %1 \u00D7 %2 (%3) to %4 \u00D7 %5, %6, %7")
                                                 .arg(c.pictureSize.width()).arg(c.pictureSize.height())
                                                 .arg(sizeText(c.sourceBytes))
                                                 .arg(c.scaledPixels.width()).arg(c.scaledPixels.height())
                                                 .arg(c.media.description, sizeText(c.size()));
                else
                    result.report << label
                                         + (c.converted ? QStringLiteral(": converted (%1), %2")
                                                        : QStringLiteral(": included %1, %2"))
                                               .arg(c.media.description, sizeText(c.size()));
                if (c.privateSource)
                    result.report << label + QStringLiteral(": only its owner may read this file, so only the "
                                                            "owner may read what it went into");
            }
            if (const QString text = TestCompanion::cleanDescription(m_companion.description(int(i) + 1)); !text.isEmpty())
                m[QStringLiteral("description")] = text;
            o[QStringLiteral("media")] = m;
        }
        if (result.problems.size() > problemsBefore)
            result.report << result.problems.last();
        questions.append(o);
    }

    QJsonObject quiz;
    quiz[QStringLiteral("title")] = title;
    quiz[QStringLiteral("teacher")] = teacher;
    quiz[QStringLiteral("id")] = m_identity.isEmpty() ? testIdentity(title, teacher, records) : m_identity;
    quiz[QStringLiteral("questions")] = questions;
    quiz[QStringLiteral("pictureArea")] = kPictureArea;
    if (const QString language = TestCompanion::cleanLanguage(m_companion.language); !language.isEmpty())
        quiz[QStringLiteral("language")] = language;
    if (m_companion.shuffle)
        quiz[QStringLiteral("shuffle")] = true;
    if (!m_platform.isEmpty())
        quiz[QStringLiteral("platform")] = m_platform;
    if (m_live) {
        quiz[QStringLiteral("live")] = true;
        result.keptKey = LiveAnswerKey::takeFrom(quiz);
    }
    result.quiz = quiz;
    result.parts = PageParts(title, quiz, media);
    return result;
}
