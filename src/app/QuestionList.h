#pragma once
// The question list ("cboExist"): a combo box whose text line says what the
// list holds ("No questions yet.", "Existing Questions", a question). The
// text line is read-only and a click on it opens the list; the mouse wheel
// turns through the list only while it has the focus, as on Windows, so
// passing over it never picks a question. The list drops down wide enough
// to read long questions, each with its number in front.
//
// Its items follow the test: every question added, replaced or removed, and
// every test loaded or emptied, changes the list through the editing layer's
// signals; the window only sets the text line.

#include <QComboBox>
#include <QStringList>

class DocumentEditor;

class QuestionList : public QComboBox {
    Q_OBJECT

public:
    explicit QuestionList(QWidget *parent);

    // Keeps the items equal to the questions of `editing`'s test.
    void follow(const DocumentEditor &editing);

    // Setting the text selects the item of that text, if any, as the list
    // does when its text is set; no question is picked by it.
    void setListText(const QString &text);
    void showPopup() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Fills the list in one step; no question is picked.
    void fill(const QStringList &captions);
};
