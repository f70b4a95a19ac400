#pragma once
// A test as a SCORM package, the kind of file a learning platform (Moodle,
// Canvas, Blackboard, Open edX, ...) runs and grades: a zip with
// imsmanifest.xml at its root, the web quiz page as its one SCO, and the
// page's media as files beside it. Inside the platform the page reports
// each answer, the score and the status to the platform's API; opened on
// its own it is the web quiz.

#include "platform/ZipWriter.h"
#include "webquiz/WebQuizExporter.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

enum class ScormVersion { Scorm12, Scorm2004 };

struct ScormSettings {
    ScormVersion version = ScormVersion::Scorm12;   // the one every platform takes
    // ExportSource::NoPassMark: no pass mark; the platform gets the score
    // alone (completed, success unknown), which every gradebook shows as
    // the percent.
    int passPercent = 50;
    bool hasPassMark() const { return passPercent >= 0; }
};

// The longest title a SCORM 1.2 manifest holds (its schema's titleType).
constexpr int kScorm12TitleLength = 200;

namespace ScormPackage {
// The page's name in every package: what the manifest launches.
QString launchPage();

// "SCORM 1.2", "SCORM 2004": the version as reports and file names say it.
QString versionName(ScormVersion version);

// What the page is told of its package (the script's quiz.platform).
QJsonObject pageSettings(const ScormSettings &settings);

// The manifest of a package holding `files` (the launch page first).
// identifier: the test's identity, so that a platform recognises a package
// made again from the same test.
QByteArray manifest(const ScormSettings &settings, const QString &title, const QString &identifier,
                    const QStringList &files);

// The names of the files in the package besides the manifest: the page,
// then its media.
QStringList files(const WebQuizExport &page);

// Writes the whole package (manifest, page, media) to `sink`; false with
// the reason when a media file cannot be read or the sink refuses.
bool write(const WebQuizExport &page, const ScormSettings &settings, const QString &title, const QString &identifier,
           const ZipWriter::Sink &sink, QString *reason);
}
