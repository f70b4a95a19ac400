#include "webquiz/PlatformExportAction.h"

#include "dialogs/ProgressRunner.h"
#include "dialogs/dlgReport.h"
#include "exchange/QuestionExport.h"
#include "webquiz/ScormFormat.h"
#include "webquiz/WebQuizExportAction.h"
#include "webquiz/dlgPlatformExport.h"

#include <QApplication>

namespace {
const QString kTitle = QStringLiteral("Export for Learning Platform");

// The teacher's last choice, offered again while the program runs.
ScormSettings &lastSettings()
{
    static ScormSettings settings;
    return settings;
}

const QuestionFormat *formatOf(ScormVersion version)
{
    return QuestionFormatRegistry::instance().byShortName(
        version == ScormVersion::Scorm2004 ? QStringLiteral("scorm2004") : QStringLiteral("scorm12"));
}
}

namespace PlatformExportAction {
QAction *addToMenu(QMenu *fileMenu, QAction *after, const std::function<void()> &run)
{
    return WebQuizExportAction::insertMenuItem(fileMenu, after, QStringLiteral("Export for &Learning Platform..."),
                                               QStringLiteral("mnuFileExportPlatform"), run);
}

bool run(const ExportSource &test, const QString &testFile)
{
    if (WebQuizExportAction::saidEmpty(test.records))
        return false;
    const std::optional<ScormSettings> settings = dlgPlatformExport::ask(QApplication::activeWindow(), lastSettings(), true);
    if (!settings)
        return false;
    lastSettings() = *settings;
    // Bare media names resolve against the working directory, which the
    // file dialog may move.
    const ExportSource source = test.withResolvedMedia();
    // The two versions' packages of one test get names of their own.
    const QString path = WebQuizExportAction::chooseOutput(
        kTitle, {QObject::tr("SCORM packages (*.zip)"), QStringLiteral("*.zip")}, testFile,
        QStringLiteral(" (%1)").arg(ScormPackage::versionName(settings->version)));
    return !path.isEmpty() && exportTo(path, source, *settings);
}

bool exportTo(const QString &path, const ExportSource &test, const ScormSettings &settings)
{
    ExportRequest request;
    request.path = path;
    request.format = formatOf(settings.version);
    request.source = test;
    request.source.passPercent = settings.passPercent;
    ExchangeReport report;
    bool cancelled = false;
    ProgressRunner::run(QApplication::activeWindow(), QObject::tr("Making the package..."), [&](WorkProgress &progress) {
        request.progress = &progress;
        report = exportQuestions(request);
        cancelled = progress.isCancelled();
    });
    if (cancelled)
        return false;
    dlgReport::showExchangeReport(QApplication::activeWindow(), kTitle, report);
    return !report.failed();
}

bool handlesExportAs(const QString &path, const ExportSource &test, const QuestionFormat &format)
{
    if (format.shortName() == QLatin1String("web")) {
        WebQuizExportAction::exportTo(path, test);
        return true;
    }
    const auto *package = dynamic_cast<const ScormFormat *>(&format);
    if (!package)
        return false;
    ScormSettings initial = lastSettings();
    initial.version = package->version();
    const std::optional<ScormSettings> settings = dlgPlatformExport::ask(QApplication::activeWindow(), initial, false);
    if (settings) {
        lastSettings().passPercent = settings->passPercent;
        exportTo(path, test, *settings);
    }
    return true;
}
}
