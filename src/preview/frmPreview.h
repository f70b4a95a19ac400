#pragma once
// The preview window "Ardeno Previewer": the teacher takes the test being
// edited the way a student would. It shows the questions one at a time with
// their media, checks each answer on the mouse release over an option, keeps
// a running score and ends with the score report.
//
// The window is modeless and deletes itself when closed. There is at most one.

#include <QWidget>

class TestDocument;

class frmPreview : public QWidget {
    Q_OBJECT

public:
    // Opens the preview beside `editor` and shows question 1, or, when it is
    // already open, only brings it to the front and refreshes the title and
    // class/teacher labels (the run goes on where it was). `doc` is the
    // editor's document, read live while the preview runs; it must outlive the
    // window. A test without questions is refused with a message and nullptr
    // is returned.
    static frmPreview *showPreview(const TestDocument &doc, const QString &title,
                                   const QString &teacher, QWidget *editor);

    // The open preview window, or nullptr when none is open.
    static frmPreview *instance();

    ~frmPreview() override;

private:
    explicit frmPreview(const TestDocument &doc, QWidget *editor);

    const TestDocument *m_doc;
};
