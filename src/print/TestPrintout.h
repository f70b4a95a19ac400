#pragma once
// Printing a test for the students: a header block, every question with its
// picture, answers or True/False tick boxes, and, if the teacher wants it, an
// answer key on a page of its own. One printout is one print job.
//
// The editor's commands that run it are in PrintCommands.h.

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

class PrintSurface;
class TestDocument;
class QuestionView;

// The printout of one test on one surface: the routines of the print module,
// each as the printed test needs it. Messages go through MsgBox.
class TestPrintout {
public:
    TestPrintout(PrintSurface &printer, const TestDocument &doc, const QString &title,
                 const QString &teacher);
    ~TestPrintout();
    TestPrintout(const TestPrintout &) = delete;
    TestPrintout &operator=(const TestPrintout &) = delete;

    // The whole command: checks the fields, asks about the key, prints the
    // header, the questions and the key, and shows the failure messages.
    // True when the job was sent.
    bool print();

    // The checks that come before anything else; false after showing the
    // message ("Please fill in all fields..." or "There are no questions...").
    static bool checkPrintable(const TestDocument &doc, const QString &title,
                               const QString &teacher);

    // Asks about the key, opens the job and prints the header block. False
    // (after "Error initializing printer!") when the printer cannot be used.
    bool PrintHeader();
    // One question. False on a failure that stops the printout (a picture
    // that cannot be loaded, the printer failing); a record with too few
    // fields shows its message, prints nothing and returns true.
    bool PrintMultipleChoice(const QString &record, int number);
    bool PrintTrueFalse(const QString &record, int number);
    // The key page when wanted, then the end of the document. False when the
    // key or the end of the document failed (after "Error printing this test.").
    bool PrintKey();

    // Kept between printouts, set again by every PrintHeader.
    static int LeftMargin;        // millimetres
    static bool PrintKeyWanted;

    // The line a printed question text is broken into: "n.  " and the words,
    // a line printed each time it grows past 95 characters. Exposed for tests.
    static QStringList wrapQuestion(const QString &question, int number);
    // The key's answer text for one record (without the number).
    static QString keyAnswer(const QString &record);
    // One line of the key: " 1.      B.  Paris".
    static QString keyLine(const QString &record, int number);

    // The picture file a media field names, "" when it names none that
    // exists (or a file that is not a BMP, JPEG or WMF by its extension).
    QString picturePath(const QString &mediaField) const;
    // The line under a question with a sound, a tune or a video ("(This
    // question has a sound.)"); "" for a picture or none.
    static QString mediaHint(const QString &mediaField);

private:
    // A question's picture loaded and sized for the paper: `wanted` when the
    // question has one, a null image when it could not be loaded.
    struct SizedPicture {
        bool wanted = false;
        QImage image;
        QSizeF size;   // millimetres
    };
    // At most `room` millimetres high.
    SizedPicture sizedPicture(const QString &mediaField, double room) const;
    // The question's text, what media it has, and its picture `offsetY`
    // under the text with `gapAfter` below it.
    bool printQuestionWithMedia(const QuestionView &q, int number, double offsetY, double gapAfter);
    bool printQuestionText(const QString &question, int number);
    bool printMediaHint(const QString &mediaField);
    bool printAnswer(const QString &letter, const QString &answer);
    void setBusy(bool busy);
    // Shows text; a PDF that could not be written is named with the
    // system's reason below it, once.
    void showError(const QString &text);

    PrintSurface &m_printer;
    const TestDocument &m_doc;
    QString m_title;
    QString m_teacher;
    bool m_busy = false;
    bool m_fileErrorShown = false;
};
