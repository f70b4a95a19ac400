#pragma once
// The test file itself, through the program's own reader and writer: records
// go across unchanged, whatever their kind.

#include "exchange/QuestionFormat.h"

class ArdFormat : public QuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("ard"); }
    FileFilter nameFilter() const override;
    Capabilities capabilities() const override { return ReadWrite | MediaBesideFile; }
    ReadResult read(const QByteArray &bytes, const QString &fileName) const override;
    WriteResult write(const ExportSource &test) const override;
};
