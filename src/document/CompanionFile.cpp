#include "document/CompanionFile.h"

#include "platform/OutputFolder.h"

#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "platform/CheckedFile.h"
#include "platform/RegularFile.h"

#include <QFile>

#include <QFileInfo>
#include <cerrno>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kMark = QStringLiteral("test companion");
constexpr int kVersion = 1;

// The bare name of the media file a record shows; "" for none.
QString mediaNameOf(const QString &record)
{
    const QStringList f = QuestionRecord::fields(record);
    const int m = QuestionRecord::exactMediaFieldIndex(f);
    if (m < 0 || f[m].trimmed().isEmpty() || QuestionRecord::isNoMedia(f[m].trimmed()))
        return QString();
    return MediaLookup::nameOf(f[m].trimmed());
}

bool sameName(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}
}

QString CompanionFile::pathFor(const QString &testPath)
{
    return testPath + QStringLiteral(".access.json");
}

QByteArray CompanionFile::bytes(const TestCompanion &companion, const QStringList &records)
{
    QJsonArray questions;
    for (int n = 1; n <= records.size(); ++n) {
        const QString media = mediaNameOf(records[n - 1]);
        const QString text = TestCompanion::cleanDescription(companion.description(n));
        if (media.isEmpty() || text.isEmpty())
            continue;
        questions.append(QJsonObject{{QStringLiteral("number"), n},
                                     {QStringLiteral("media"), media},
                                     {QStringLiteral("description"), text}});
    }
    const QString language = TestCompanion::cleanLanguage(companion.language);
    if (questions.isEmpty() && language.isEmpty() && !companion.shuffle)
        return QByteArray();
    QJsonObject o{{QStringLiteral("ardeno"), kMark}, {QStringLiteral("version"), kVersion}};
    if (!language.isEmpty())
        o[QStringLiteral("language")] = language;
    if (companion.shuffle)
        o[QStringLiteral("shuffle")] = true;
    o[QStringLiteral("questions")] = questions;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool CompanionFile::keepBeside(const QString &testPath, const QByteArray &bytes, QString *reason)
{
    const QString path = pathFor(testPath);
    if (!bytes.isEmpty())
        return CheckedFile::write(path, bytes, reason);
    // Nothing to keep: an old one goes (a link there itself, never its target).
    const OutputFolderPtr folder = OutputFolder::open(QFileInfo(path).absolutePath());
    const QString name = QFileInfo(path).fileName();
    if (folder->entry(name) != OutputFolder::Entry::None && !folder->remove(name)) {
        *reason = qt_error_string(errno);
        return false;
    }
    return true;
}

CompanionFile::Read CompanionFile::parse(const QByteArray &bytes, const QStringList &records)
{
    Read r;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject()
        || o.value(QStringLiteral("ardeno")).toString() != kMark) {
        r.problem = QStringLiteral("it is not a description file of this program");
        return r;
    }
    if (o.value(QStringLiteral("version")).toInt() > kVersion) {
        r.problem = QStringLiteral("it was written by a newer version of this program");
        return r;
    }
    r.companion.language = TestCompanion::cleanLanguage(o.value(QStringLiteral("language")).toString());
    r.companion.shuffle = o.value(QStringLiteral("shuffle")).toBool();
    QStringList &texts = r.companion.descriptions;
    for (qsizetype i = 0; i < records.size(); ++i)
        texts << QString();
    QStringList media;
    for (const QString &record : records)
        media << mediaNameOf(record);
    for (const QJsonValue &v : o.value(QStringLiteral("questions")).toArray()) {
        const QJsonObject q = v.toObject();
        const QString name = MediaLookup::nameOf(q.value(QStringLiteral("media")).toString());
        const QString text = TestCompanion::cleanDescription(q.value(QStringLiteral("description")).toString());
        if (name.isEmpty() || text.isEmpty())
            continue;
        const int n = q.value(QStringLiteral("number")).toInt();
        int at = -1;
        if (n >= 1 && n <= records.size() && sameName(media[n - 1], name)) {
            at = n - 1;
        } else {
            // The test was reordered elsewhere: the one question that shows this file.
            for (qsizetype i = 0; i < media.size(); ++i) {
                if (!sameName(media[i], name))
                    continue;
                if (at >= 0) {
                    at = -1;
                    break;
                }
                at = int(i);
            }
        }
        if (at >= 0 && texts[at].isEmpty())
            texts[at] = text;
    }
    return r;
}

CompanionFile::Read CompanionFile::readBeside(const QString &testPath, const QStringList &records)
{
    const QString path = pathFor(testPath);
    const QFileInfo there(path);
    Read r;
    if (!there.exists() && !there.isSymLink())
        return r;
    // Written by this program as a file of its own: a link in its place was
    // put there by someone else.
    if (there.isSymLink()) {
        r.problem = QStringLiteral("it is a link");
        return r;
    }
    QString reason;
    // Refused at the open as well: a link put there after the look above.
    const QByteArray bytes = RegularFile::read(path, MaxBytes, &reason, nullptr, RegularFile::Links::Refuse);
    if (!reason.isEmpty()) {
        r.problem = reason;
        return r;
    }
    return parse(bytes, records);
}
