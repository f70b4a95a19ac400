#pragma once
// cFileDlg: one open or save dialog. The caller sets a few properties (title,
// filter, initial folder, default extension, option switches), calls one of
// the dialog operations with a file name, and reads the chosen path, file
// title, selected filter and result bits back. The dialog itself is shown by
// the installed FileDialogService, so the class works the same with the Qt
// dialogs and with a test script.

#include <QString>
#include <QStringList>
#include <cstdint>

class cFileDlg {
public:
    cFileDlg();

    // Handle of the owner window; -1 means no owner. The Qt dialog service
    // always parents the dialog on the active window, which is the calling
    // window whenever a user action opens a dialog, so the value is kept for
    // the caller but has no further effect here.
    std::int32_t OwnerHwnd() const { return m_ownerHwnd; }
    void setOwnerHwnd(std::int32_t v) { m_ownerHwnd = v; }
    bool FileMustExist() const { return m_fileMustExist; }
    void setFileMustExist(bool v) { m_fileMustExist = v; }
    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool v) { m_multiSelect = v; }
    bool ReadOnly() const { return m_readOnly; }
    bool HideReadOnly() const { return m_hideReadOnly; }
    void setHideReadOnly(bool v) { m_hideReadOnly = v; }
    // "Description|pattern:Description|pattern"; after a dialog, the chosen
    // pair as description, NUL, pattern.
    QString Filter() const { return m_filter; }
    void setFilter(const QString &v) { m_filter = v; }
    std::int32_t FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(std::int32_t v) { m_filterIndex = v; }
    QString InitDirectory() const { return m_initDirectory; }
    void setInitDirectory(const QString &v) { m_initDirectory = v; }
    // Sets InitDirectory to a Windows special folder by its CSIDL number
    // (5 = documents), or to "" where this system has no such folder.
    void setInitDirectorySpecial(int csidl);
    QString DlgTitle() const { return m_dlgTitle; }
    void setDlgTitle(const QString &v) { m_dlgTitle = v; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &v) { m_defaultExt = v; }
    std::int32_t Flags() const { return m_flags; }
    void setFlags(std::int32_t v) { m_flags = v; }
    bool OverwritePrompt() const { return m_overwritePrompt; }
    void setOverwritePrompt(bool v) { m_overwritePrompt = v; }

    // The dialogs. `filename` is the proposed name and receives the chosen
    // path; `FileTitle` the proposed title and receives the chosen file's
    // name. True when the user chose a file. On cancel both become a single
    // NUL character.
    bool VBGetOpenFileName(QString &filename);
    bool VBGetOpenFileName(QString &filename, QString &FileTitle);
    // The open dialog with a preview pane where the dialog service offers one.
    bool VBGetOpenFileNamePreview(QString &filename);
    bool VBGetOpenFileNamePreview(QString &filename, QString &FileTitle);
    bool VBGetSaveFileName(QString &filename);
    bool VBGetSaveFileName(QString &filename, QString &FileTitle);

    // Every file of the last open dialog's choice, in its order (with
    // MultiSelect, all that were chosen; the file name above is the first).
    QStringList ChosenFiles() const { return m_chosen; }

    static bool ExistFile(const QString &sSpec);
    static QString VBGetFileTitle(const QString &sFile);

private:
    bool runOpen(QString &filename, QString &fileTitle, bool preview);
    bool runSave(QString &filename, QString &fileTitle);
    bool run(bool save, bool preview, std::int32_t bits, QString &filename, QString &fileTitle);

    std::int32_t m_ownerHwnd = -1;
    bool m_fileMustExist = true;
    bool m_multiSelect = false;
    QStringList m_chosen;
    bool m_readOnly = false;
    bool m_hideReadOnly = true;
    QString m_filter;
    std::int32_t m_filterIndex = 0;
    QString m_initDirectory;
    QString m_dlgTitle;
    QString m_defaultExt;
    std::int32_t m_flags = 0;
    bool m_overwritePrompt = true;
};
