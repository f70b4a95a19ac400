#pragma once
// The window-free half of cFileDlg: option bits, the filter notation, the
// filter-pair lookup, special folders and file titles. Kept apart from the
// dialog so that every rule can be checked without showing a window.

#include <QString>
#include <cstdint>

namespace FileDlg {

// The OPENFILENAME option bits the class knows by name.
enum : std::int32_t {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_ENABLEHOOK = 0x20,
    OFN_ENABLETEMPLATE = 0x40,
    OFN_ALLOWMULTISELECT = 0x200,
    OFN_FILEMUSTEXIST = 0x1000,
};

// Hooks and templates cannot be honoured by any dialog we show, so these
// bits are always taken out of the caller's flags.
constexpr std::int32_t kRemovedBits = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;

std::int32_t openDialogBits(bool fileMustExist, bool multiSelect, bool readOnly,
                            bool hideReadOnly, std::int32_t flags);
std::int32_t saveDialogBits(bool overwritePrompt, std::int32_t flags);

// "BMP Files|*.bmp:DIB Files|*.dib" -> "BMP Files\0*.bmp\0DIB Files\0*.dib\0\0".
// Both "|" and ":" separate; the list ends with two NULs.
QString filterToNulList(const QString &filter);

// The n-th (1-based) description/pattern pair of a NUL-separated list,
// returned as description, NUL, pattern. Out of range or an empty list: "".
QString filterPair(const QString &nulList, int index);

// The path of a Windows special folder (CSIDL number) as it exists on this
// system, or "" when there is no sensible equivalent. 5 is the documents
// folder.
QString specialFolderPath(int csidl);

// The file's title as the Windows shell gives it: the last path component
// (either separator), "" for a name that ends in a separator, is empty or
// contains characters no file name may hold.
QString fileTitle(const QString &path);

// True when the file exists and its length can be read; never throws.
bool existFile(const QString &path);

// Text up to the first NUL character.
QString upToNul(const QString &text);

} // namespace FileDlg
