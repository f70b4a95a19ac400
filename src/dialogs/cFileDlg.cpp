#include "dialogs/cFileDlg.h"

#include "platform/FileDialogService.h"
#include "dialogs/FileDlgLogic.h"
#include "platform/MessageService.h"
#include "platform/Platform.h"

using namespace FileDlg;

namespace {
const QString kNul = QString(QChar(0));
constexpr int kDocumentsFolder = 5;
}

cFileDlg::cFileDlg()
{
    m_dlgTitle = kAppTitle;
    setInitDirectorySpecial(kDocumentsFolder);
}

void cFileDlg::setInitDirectorySpecial(int csidl)
{
    m_initDirectory = specialFolderPath(csidl);
}

bool cFileDlg::VBGetOpenFileName(QString &filename)
{
    QString title;
    return runOpen(filename, title, false);
}

bool cFileDlg::VBGetOpenFileName(QString &filename, QString &FileTitle)
{
    return runOpen(filename, FileTitle, false);
}

bool cFileDlg::VBGetOpenFileNamePreview(QString &filename)
{
    QString title;
    return runOpen(filename, title, true);
}

bool cFileDlg::VBGetOpenFileNamePreview(QString &filename, QString &FileTitle)
{
    return runOpen(filename, FileTitle, true);
}

bool cFileDlg::VBGetSaveFileName(QString &filename)
{
    QString title;
    return runSave(filename, title);
}

bool cFileDlg::VBGetSaveFileName(QString &filename, QString &FileTitle)
{
    return runSave(filename, FileTitle);
}

bool cFileDlg::runOpen(QString &filename, QString &fileTitle, bool preview)
{
    const std::int32_t bits =
        openDialogBits(m_fileMustExist, m_multiSelect, m_readOnly, m_hideReadOnly, m_flags);
    if (run(false, preview, bits, filename, fileTitle))
        return true;
    m_filterIndex = -1;
    return false;
}

bool cFileDlg::runSave(QString &filename, QString &fileTitle)
{
    if (run(true, false, saveDialogBits(m_overwritePrompt, m_flags), filename, fileTitle))
        return true;
    m_filterIndex = 0;
    return false;
}

bool cFileDlg::run(bool save, bool preview, std::int32_t bits, QString &filename,
                   QString &fileTitle)
{
    const QString nulFilter = filterToNulList(m_filter);

    FileDialogRequest request;
    request.mode = save ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.title = m_dlgTitle;
    request.filters = parseNulSeparatedFilter(nulFilter);
    // Index 0 names a custom filter, which this class never passes: the
    // dialog then shows the first one.
    request.filterIndex = qMax(1, int(m_filterIndex));
    request.initialDir = m_initDirectory;
    request.fileName = upToNul(filename);
    request.defaultExt = m_defaultExt;
    request.fileMustExist = bits & OFN_FILEMUSTEXIST;
    request.multiSelect = bits & OFN_ALLOWMULTISELECT;
    request.overwritePrompt = bits & OFN_OVERWRITEPROMPT;
    request.hideReadOnly = bits & OFN_HIDEREADONLY;
    request.readOnly = bits & OFN_READONLY;
    request.preview = preview;

    const FileDialogResult result = Platform::fileDialogs().choose(request);
    m_chosen = result.accepted ? result.files : QStringList();
    if (!result.accepted || result.files.isEmpty()) {
        filename = kNul;
        fileTitle = kNul;
        m_flags = 0;
        m_filter = kNul;
        return false;
    }

    // A multiple selection gives only its first name, as the file buffer
    // holds it up to its first NUL.
    filename = result.files.first();
    fileTitle = VBGetFileTitle(filename);
    std::int32_t returned = bits;
    if (!save) {
        if (result.readOnly)
            returned |= OFN_READONLY;
        else
            returned &= ~OFN_READONLY;
        if (returned & OFN_READONLY)
            m_readOnly = true;
    }
    m_flags = returned;
    m_filterIndex = result.filterIndex;
    m_filter = filterPair(nulFilter, result.filterIndex);
    m_initDirectory = filename;
    return true;
}

bool cFileDlg::ExistFile(const QString &sSpec)
{
    return existFile(sSpec);
}

QString cFileDlg::VBGetFileTitle(const QString &sFile)
{
    return fileTitle(sFile);
}
