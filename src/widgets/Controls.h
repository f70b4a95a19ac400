#pragma once
// The controls of the program's windows, made as the windows were drawn:
// each with its object name (the tests find controls by it) and its place.

#include <QRect>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace Controls {
// Sets a label's text and tells assistive technology its name changed, so
// a screen reader speaks a number that moved on (Qt 6.4's label does not).
void setAnnouncedText(QLabel *label, const QString &text);

// A label with its text at the top left.
QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &r);
// The same, narrowed a little (and else widened) when a substituted font
// runs wider than the one the window was drawn with, so no text is cut.
QLabel *fittedLabel(QWidget *parent, const QString &name, const QString &text, const QRect &r);
// A push button that Enter does not press unless it has the focus.
QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                    const QString &tip = QString());
// A one-line text box; maxLength 0 for no limit.
QLineEdit *lineEdit(QWidget *parent, const QString &name, const QRect &r, int maxLength,
                    const QString &tip = QString());
QRadioButton *option(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                     const QString &tip = QString());
// A multi-line text box with a scroll bar, where Tab moves on. At most
// maxChars characters are typed, a line break counting as CR LF (two); a
// longer text set by the program is kept whole (the limit then is its
// length), so loading and saving never cuts it.
QPlainTextEdit *multiLine(QWidget *parent, const QString &name, const QRect &r, int maxChars,
                          const QString &tip);

// Text set by the program into boxes whose limits hold for typing: a longer
// text (from a test made elsewhere) is kept whole, the limit becoming its
// length.
void setLineText(QLineEdit *box, const QString &text, int maxLength);
// Line breaks are CR LF in the text, as in the test file.
void setMultiLineText(QPlainTextEdit *box, const QString &text, int maxChars);
QString multiLineText(const QPlainTextEdit *box);
// A new entry of `menu` named `name`, right after `after` (at the end when
// `after` is the last or not in the menu): how later windows join a menu
// built before them.
QAction *menuEntryAfter(QMenu *menu, QAction *after, const QString &name, const QString &text);
} // namespace Controls
