#pragma once
// A class list as a spreadsheet saves it: the students' names in a column
// headed "name" (any letter case), else in the first column, one a row, in
// UTF-8 or Windows-1252. Blank names and repeats are left out.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ClassList {
// The most names a list holds: a school's year group, many times over.
inline constexpr int MaxNames = 2000;

// The names in the order the list gives them; empty with *problem when the
// bytes are no list ("a quoted field on line 3 is not closed", "no names").
QStringList names(const QByteArray &bytes, QString *problem);
}
