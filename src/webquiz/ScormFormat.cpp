#include "webquiz/ScormFormat.h"

#include "document/TestFile.h"
#include "exchange/QuestionFormatRegistry.h"
#include "platform/CheckedFileStream.h"

namespace {
struct MadePackage {
    WebQuizExport page;
    ScormSettings settings;
    QString identifier;
    ExchangeReport report;
};

MadePackage make(ScormVersion version, const ExportSource &test)
{
    MadePackage made;
    made.settings = {version, test.passPercent};
    made.identifier = test.testIdentity();
    WebQuizExporter exporter;
    exporter.packageFor(ScormPackage::pageSettings(made.settings));
    exporter.describeWith(test.companion);
    exporter.identifyAs(made.identifier);
    made.page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    made.report = made.page.exchangeReport(int(test.records.size()));
    const QString name = ScormPackage::versionName(version);
    made.report.note(made.settings.hasPassMark()
                         ? QStringLiteral("A %1 package; the pass mark is %2 percent.").arg(name).arg(made.settings.passPercent)
                         : QStringLiteral("A %1 package without a pass mark: the platform gets the score alone.").arg(name));
    if (version == ScormVersion::Scorm12 && test.title.size() > kScorm12TitleLength)
        made.report.note(QStringLiteral("The title was cut to %1 characters in the package's manifest, as SCORM 1.2 "
                                        "holds no more.").arg(kScorm12TitleLength));
    return made;
}

QString sizeLine(qint64 bytes)
{
    return QStringLiteral("The package is %1.").arg(WebQuizExporter::sizeText(bytes));
}
}

QString ScormFormat::shortName() const
{
    return m_version == ScormVersion::Scorm2004 ? QStringLiteral("scorm2004") : QStringLiteral("scorm12");
}

FileFilter ScormFormat::nameFilter() const
{
    return {m_version == ScormVersion::Scorm2004 ? QStringLiteral("SCORM 2004 package (*.zip)")
                                                 : QStringLiteral("SCORM 1.2 package (*.zip)"),
            QStringLiteral("*.zip")};
}

WriteResult ScormFormat::write(const ExportSource &test) const
{
    MadePackage made = make(m_version, test);
    WriteResult result;
    if (WorkProgress::stopped(test.progress))
        return result;
    QString reason;
    const auto sink = [&result](const QByteArray &bytes) {
        result.bytes += bytes;
        return true;
    };
    if (!ScormPackage::write(made.page, made.settings, test.title, made.identifier, sink, &reason)) {
        made.report.fail(QStringLiteral("The package cannot be made: %1").arg(reason));
        result.bytes.clear();
    } else {
        made.report.note(sizeLine(result.bytes.size()));
    }
    result.report = made.report;
    return result;
}

std::optional<ExchangeReport> ScormFormat::writeFile(const ExportSource &test, const QString &path) const
{
    MadePackage made = make(m_version, test);
    if (WorkProgress::stopped(test.progress)) {
        made.report.failCancelledExport();
        return made.report;
    }
    CheckedFileStream out(path);
    QString reason;
    qint64 written = 0;
    const auto sink = [&out, &written, &test](const QByteArray &bytes) {
        if (WorkProgress::stopped(test.progress))
            return false;
        written += bytes.size();
        return out.write(bytes);
    };
    const bool opened = out.open();
    if (opened && made.page.parts.carriesPrivateFile())
        out.makeOwnerOnly();
    if (!opened || !ScormPackage::write(made.page, made.settings, test.title, made.identifier, sink, &reason)
        || !out.commit()) {
        if (out.failed() || reason.isEmpty())
            reason = out.errorString();
        out.discard();
        if (WorkProgress::stopped(test.progress))
            made.report.failCancelledExport();
        else
            made.report.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(path, reason));
    } else {
        made.report.note(sizeLine(written));
    }
    return made.report;
}

void ScormFormat::registerInto(QuestionFormatRegistry &registry)
{
    registry.add(std::make_unique<ScormFormat>(ScormVersion::Scorm12));
    registry.add(std::make_unique<ScormFormat>(ScormVersion::Scorm2004));
}

void ScormFormat::registerFormats()
{
    registerInto(QuestionFormatRegistry::instance());
}
