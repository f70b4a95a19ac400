#include "app/FileCommands.h"

#include "app/EditorLogic.h"
#include "dialogs/FileDialogs.h"
#include "document/FileKind.h"
#include "document/MediaLookup.h"
#include "media/modSound.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "print/PrintCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <exception>

FileCommands::FileCommands(EditorController &controller, QWidget *window)
    : QObject(window), m_controller(controller), m_window(window)
{
}

void FileCommands::loadRecentFiles()
{
    m_recent.load(Platform::settings());
    emit recentFilesChanged(false);
}

void FileCommands::saveRecentFiles() const { m_recent.save(Platform::settings()); }

void FileCommands::addToRecentFiles(const QString &path)
{
    if (m_recent.add(path))
        emit recentFilesChanged(true);
}

// A file that cannot be read leaves the test on screen as it was.
void FileCommands::openFrom(const QString &path, EditorController::OpenOrigin origin)
{
    QString error;
    const std::optional<LoadedTest> test = m_controller.open(path, origin, &error);
    if (!test) {
        MsgBox(error, MsgIcon::Critical);
        return;
    }
    emit opened(test->title, test->teacher, origin, path);
    if (origin == EditorController::OpenOrigin::Menu)
        addToRecentFiles(RecentFiles::listedPath(path));
}

void FileCommands::open()
{
    const QString path = ShowOpenDialog(m_window, ardenoTestFilter(), QDir::currentPath());
    m_controller.editing().setCurrentFile(path);
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    if (!hasFileKind(path, QStringLiteral("ard"))) {
        MsgBox(QStringLiteral("File does not appear to be a valid Ardeno test."), MsgIcon::Critical);
        return;
    }
    openFrom(path, EditorController::OpenOrigin::Menu);
}

void FileCommands::openRecent(int index)
{
    // Where the list holds paths in lower case, find the file they name.
    const QString path = EditorLogic::existingPathIgnoringCase(m_recent.entry(index));
    if (!path.isEmpty())
        openFrom(path, EditorController::OpenOrigin::RecentList);
}

void FileCommands::openFromCommandLine(const QString &path)
{
    if (MediaLookup::fileExists(path))
        openFrom(path, EditorController::OpenOrigin::CommandLine);
}

void FileCommands::saveAs(const QString &title, const QString &teacher)
{
    const EditorController::SaveProposal proposal = m_controller.saveProposal(QDir::currentPath());
    const QString path = ShowSaveDialog(m_window, ardenoTestFilter(), proposal.folder, QStringLiteral("ard"), proposal.name);
    if (path.isEmpty())
        return;
    QString description;
    try {
        CloseAll();
        const SaveResult result = m_controller.save(path, title, teacher, [] { QCoreApplication::processEvents(); });
        if (result.status == SaveResult::Status::Refused)
            return;
        if (result.saved() && MediaLookup::fileExists(path)) {
            emit saved(path);
            addToRecentFiles(path);
            return;
        }
        description = result.errorDescription;
    } catch (const std::exception &e) {
        description = QString::fromLocal8Bit(e.what());
    }
    MsgBox(QStringLiteral("Error saving test!") + description, MsgIcon::Critical);
}

void FileCommands::print(const QString &title, const QString &teacher)
{
    PrintCommands::printTest(m_window, m_controller.document(), title, teacher);
}

void FileCommands::printToPdf(const QString &title, const QString &teacher)
{
    PrintCommands::printTestToPdf(m_window, m_controller.document(), title, teacher);
}
