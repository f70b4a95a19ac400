#pragma once
// The languages a teacher may name a test's language from, as the language
// box lists them ("French (fr)"), and the tag a line of that box names.

#include <QString>
#include <QStringList>
#include <optional>

namespace LanguageNames {
// One line per language Qt knows, by its English name, the tag in brackets,
// sorted by name.
QStringList choices();
// The line of a tag: "French (fr)" for "fr", the tag alone for one Qt has
// no name for ("x-klingon" stays as typed when it is a tag); "" for "".
QString choiceOf(const QString &tag);
// The tag a line names: the one in brackets at its end, else the line as a
// tag, else a language name typed in full ("french"); "" for an empty line.
// nullopt when the line names no language.
std::optional<QString> tagOf(const QString &line);
}
