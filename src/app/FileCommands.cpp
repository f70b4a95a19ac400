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
    if (!m_recent.add(path))
        return;
    // Kept at once, not only at a normal exit: a crash loses no entry.
    saveRecentFiles();
    emit recentFilesChanged(true);
}

// A file that cannot be read leaves the test on screen as it was.
void FileCommands::openFrom(const QString &path, EditorController::OpenOrigin origin)
{
    QString notice;
    const QString error = m_controller.open(path, origin, &notice);
    if (!error.isEmpty()) {
        MsgBox(error, MsgIcon::Critical);
        return;
    }
    if (!notice.isEmpty())
        MsgBox(notice, MsgIcon::Exclamation);
    if (origin == EditorController::OpenOrigin::Menu)
        addToRecentFiles(RecentFiles::listedPath(path));
}

void FileCommands::open()
{
    const QString path = ShowOpenDialog(m_window, ardenoTestFilter(), QDir::currentPath());
    m_controller.chooseFileToOpen(path);
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

void FileCommands::saveAs()
{
    const EditorController::SaveProposal proposal = m_controller.saveProposal(QDir::currentPath());
    const QString path = ShowSaveDialog(m_window, ardenoTestFilter(), proposal.folder, QStringLiteral("ard"), proposal.name);
    if (!path.isEmpty())
        saveTo(path);
}

void FileCommands::save()
{
    const QString own = m_controller.ownFile();
    if (own.isEmpty())
        saveAs();
    else
        saveTo(own);
}

void FileCommands::saveTo(const QString &path)
{
    QString message;
    try {
        CloseAll();
        SaveOptions options{false, [] { QCoreApplication::processEvents(); }};
        SaveResult result = m_controller.save(path, options);
        // Characters a test cannot hold are named, and the teacher decides.
        if (result.status == SaveResult::Status::LossyCharacters) {
            if (MsgBox(result.message(), MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgResult::Ok)
                return;
            options.acceptLossyCharacters = true;
            result = m_controller.save(path, options);
        }
        // One message for all media that did not travel, each with its reason.
        if (!result.notCopied.isEmpty())
            MsgBox(result.notCopiedMessage(), MsgIcon::Information, MsgButtons::Ok, QStringLiteral("SHCOPY"));
        if (result.saved() && MediaLookup::fileExists(path)) {
            addToRecentFiles(path);
            return;
        }
        message = result.saved() ? QStringLiteral("Error saving test!") : result.message();
    } catch (const std::exception &e) {
        message = QStringLiteral("Error saving test!") + QString::fromLocal8Bit(e.what());
    }
    MsgBox(message, MsgIcon::Critical);
}

void FileCommands::print()
{
    const TestDocument &test = m_controller.document();
    PrintCommands::printTest(m_window, test, test.title(), test.teacher());
}

void FileCommands::printToPdf()
{
    const TestDocument &test = m_controller.document();
    PrintCommands::printTestToPdf(m_window, test, test.title(), test.teacher());
}
