#pragma once
// The filters of an import or export file dialog, built from the registry:
// one per format with the wanted capabilities, optionally preceded by one
// filter that shows the files of all of them. The filter the user chose
// leads back to its format.

#include "exchange/QuestionFormatRegistry.h"

class FormatFilters {
public:
    // allFilesFirst: a first filter "<allDescription> (*.a *.b ...)" whose
    // format is decided by the chosen file's name.
    FormatFilters(QuestionFormat::Capabilities wanted, const QString &allDescription = QString(),
                  const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance());

    const QList<FileFilter> &filters() const { return m_filters; }
    // The format of the 1-based filter index a dialog returns; nullptr for
    // the all-files filter or an index out of range.
    const QuestionFormat *formatAt(int filterIndex) const;
    // The format for a chosen file: the one its name says, else the chosen
    // filter's (a name typed without a known suffix).
    const QuestionFormat *formatFor(int filterIndex, const QString &fileName) const;

private:
    const QuestionFormatRegistry &m_registry;
    QuestionFormat::Capabilities m_wanted;
    QList<FileFilter> m_filters;
    QList<const QuestionFormat *> m_formats;   // parallel to m_filters; nullptr for "all"
};
