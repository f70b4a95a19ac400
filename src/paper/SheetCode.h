#pragma once
// What the code on an answer sheet says: which test (by a fingerprint that
// does not depend on the right answers, so the sheet in a student's hands
// gives none away), the paper, the version of the order, the sheet's number
// and the student's name (empty on a numbered sheet with a box for it).

#include <QByteArray>
#include <QString>
#include <optional>

#include "paper/SheetLayout.h"

struct SheetCode {
    QString test;          // TestVersions::fingerprint of the test
    SheetPaper paper = SheetPaper::A4;
    int version = 1;       // 1 to 4
    int sheet = 1;         // the sheet's number in its print run
    QString name;          // "" on a numbered sheet

    // "ARD1|<test>|<paper>|<version>|<sheet>|<name in UTF-8>".
    QByteArray bytes() const;
    // std::nullopt for a code that is not an answer sheet's.
    static std::optional<SheetCode> fromBytes(const QByteArray &bytes);
};
