#include "exchange/QuestionFormat.h"

#include "document/FileKind.h"

#include "exchange/ExchangeQuestion.h"

#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"

#include <QFileInfo>

void ReadResult::add(const ExchangeQuestion &question, int line, const QByteArray &mediaData)
{
    if (questions.size() >= KeptWhole) {
        if (++questionsBeyond <= LinesKeptBeyond)
            linesBeyond << line;
        return;
    }
    bool replaced = false;
    questions << ImportedQuestion{question.toRecord(&replaced), mediaData, line, category,
                                  TestCompanion::cleanDescription(question.description)};
    if (replaced)
        report.note(QStringLiteral("The sign \u00A9 separates the parts of a question in a test, so it was "
                                   "written as (c)."));
}

QString ExportSource::mediaPath(const QString &reference) const
{
    if (reference.isEmpty() || QuestionRecord::isNoMedia(reference))
        return QString();
    return MediaLookup::resolve(reference, mediaFolder);
}

QString ExportSource::testIdentity() const
{
    return identity.isEmpty() ? ::testIdentity(title, teacher, records) : identity;
}

ExportSource ExportSource::withResolvedMedia() const
{
    ExportSource resolved = *this;
    resolved.identity = testIdentity();
    for (QString &record : resolved.records) {
        QStringList f = QuestionRecord::fields(record);
        const int m = QuestionRecord::exactMediaFieldIndex(f);
        const QString path = m >= 0 ? mediaPath(f[m]) : QString();
        if (!path.isEmpty()) {
            f[m] = QFileInfo(path).absoluteFilePath();
            record = QuestionRecord::join(f);
        }
    }
    return resolved;
}

QStringList QuestionFormat::suffixes() const
{
    QStringList result;
    for (const QString &pattern : nameFilter().pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            result << pattern.mid(dot + 1).toLower();
    }
    return result;
}

ReadResult QuestionFormat::readParts(const OpenFile &file, const QString &fileName) const
{
    QString why;
    const QByteArray bytes = file.readAll(file.size(), &why);
    if (why.isEmpty())
        return read(bytes, fileName);
    ReadResult failed;
    failed.report.fail(QStringLiteral("\"%1\" cannot be read: %2").arg(fileName, why));
    return failed;
}

bool QuestionFormat::supportsFile(const QString &fileName) const
{
    const QString suffix = exchangeSuffixOf(fileName);
    return !suffix.isEmpty() && suffixes().contains(suffix);
}

QString QuestionFormat::defaultSuffix() const
{
    const QStringList s = suffixes();
    return s.isEmpty() ? QString() : s.first();
}

WriteResult ReadableQuestionFormat::write(const ExportSource &) const
{
    WriteResult r;
    r.report.fail(QStringLiteral("Questions cannot be written as %1.").arg(nameFilter().description));
    return r;
}

ReadResult WritableQuestionFormat::read(const QByteArray &, const QString &fileName) const
{
    ReadResult r;
    r.report.fail(QStringLiteral("\"%1\": questions cannot be read from %2.")
                      .arg(fileName, nameFilter().description));
    return r;
}

std::optional<ExchangeReport> QuestionFormat::writeFile(const ExportSource &, const QString &) const
{
    return std::nullopt;
}
