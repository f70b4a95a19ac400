#pragma once
// The text formats of the learning platform's questions, and the one rule by
// which each becomes the plain text a test holds, as the platform shows it:
// - moodle (the platform's default, "moodle_auto_format" in its XML): HTML
//   whose line ends are line breaks; tags go, <br> and paragraph ends are
//   line breaks, entities are decoded, runs of blanks are one blank;
// - html: the same, but a line end is only a blank;
// - plain and markdown: the text as written, line ends as line breaks.
// Every text ends up with CR LF line breaks and no blanks at its ends.

#include <QString>
#include <QStringView>
#include <optional>

enum class TextFormat { Moodle, Html, Plain, Markdown };

// The plain text of `text` written in `format`.
QString plainTextOf(const QString &text, TextFormat format);

// A format by the name GIFT's markers ("moodle", "html", "plain", "markdown")
// or Moodle XML's format attributes ("moodle_auto_format", "html",
// "plain_text", "markdown") give it, letter case ignored; none for any other.
std::optional<TextFormat> textFormatNamed(QStringView name);
