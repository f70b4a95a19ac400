#include "app/EditorFields.h"

#include "app/EditorLogic.h"
#include "app/QuestionEntryPanel.h"
#include "app/frmCreate.h"
#include "widgets/Controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {
template <typename T>
T *control(const frmCreate &editor, const QString &name)
{
    T *c = editor.findChild<T *>(name);
    Q_ASSERT_X(c, "EditorFields", qPrintable(name));
    return c;
}

QLineEdit *line(const frmCreate &e, const QString &name) { return control<QLineEdit>(e, name); }
QRadioButton *option(const frmCreate &e, const QString &name) { return control<QRadioButton>(e, name); }
QPlainTextEdit *box(const frmCreate &e, const QString &name) { return control<QPlainTextEdit>(e, name); }

QString questionText(const QPlainTextEdit *b) { return Controls::multiLineText(b); }
void setQuestionText(QPlainTextEdit *b, const QString &text)
{
    Controls::setMultiLineText(b, text, QuestionEntryPanel::MaxQuestionText);
}
// The typing limit of a box must not cut a text that was longer already.
void setLineText(QLineEdit *l, const QString &text) { Controls::setLineText(l, text, l->maxLength()); }
}

namespace EditorFields {

EditorSnapshot capture(const frmCreate &editor)
{
    EditorSnapshot s;
    const TestDocument &doc = editor.document();
    s.title = line(editor, QStringLiteral("txtTitle"))->text();
    s.teacher = line(editor, QStringLiteral("txtTeacher"))->text();
    s.records = doc.records();
    s.originalPath = editor.controller().workFile();
    s.testFolder = doc.testFolder();

    EntryArea &e = s.entry;
    e.type = editor.controller().questionType() == QuestionType::TrueFalse ? 1 : 0;
    e.mcQuestion = questionText(box(editor, QStringLiteral("txtMQuestion")));
    for (int i = 0; i < 4; ++i) {
        e.mcAnswers[size_t(i)] = line(editor, QStringLiteral("txtManswer_%1").arg(i))->text();
        if (option(editor, QStringLiteral("optABCD_%1").arg(i))->isChecked())
            e.mcCorrect = i;
    }
    e.mcMedia = line(editor, QStringLiteral("txtMpic"))->text();
    e.tfQuestion = questionText(box(editor, QStringLiteral("txtTFquestion")));
    e.tfAnswer = option(editor, QStringLiteral("optTrueAnswer_1"))->isChecked() ? 1 : 0;
    e.tfMedia = line(editor, QStringLiteral("txtTFpic"))->text();
    e.editing = editor.controller().editedNumber();
    return s;
}

void restore(frmCreate &editor, const EditorSnapshot &work)
{
    // Restored into the editor as it starts, through its controller: the
    // questions land in the undo-aware document, unsaved, with the file they
    // belong to. With questions the test is shown as a test given on the
    // command line is; without, the fresh editor stays as it is.
    editor.ClearTest();
    editor.controller().restoreUnsaved(work.records, work.originalPath, work.testFolder);
    if (!work.records.isEmpty())
        editor.ShowLoadedTest(work.title, work.teacher);
    setLineText(line(editor, QStringLiteral("txtTitle")), work.title);
    setLineText(line(editor, QStringLiteral("txtTeacher")), work.teacher);
    editor.setWindowTitle(work.originalPath.isEmpty() ? EditorLogic::windowCaption(QStringLiteral("untitled.ard"))
                                                      : EditorLogic::windowCaptionForPath(work.originalPath));

    const EntryArea &e = work.entry;
    if (e.editing >= 1 && e.editing <= work.records.size()) {
        control<QComboBox>(editor, QStringLiteral("cboExist"))->setCurrentIndex(e.editing - 1);
        editor.cboExist_Click(e.editing - 1);
    } else if (e.type == 1) {
        option(editor, QStringLiteral("optType_1"))->setChecked(true);
        editor.optType_Click(1);
    }
    setQuestionText(box(editor, QStringLiteral("txtMQuestion")), e.mcQuestion);
    for (int i = 0; i < 4; ++i)
        setLineText(line(editor, QStringLiteral("txtManswer_%1").arg(i)), e.mcAnswers[size_t(i)]);
    option(editor, QStringLiteral("optABCD_%1").arg(e.mcCorrect))->setChecked(true);
    line(editor, QStringLiteral("txtMpic"))->setText(e.mcMedia);
    setQuestionText(box(editor, QStringLiteral("txtTFquestion")), e.tfQuestion);
    option(editor, QStringLiteral("optTrueAnswer_%1").arg(e.tfAnswer))->setChecked(true);
    line(editor, QStringLiteral("txtTFpic"))->setText(e.tfMedia);
    // Work without questions lands in an editor that has just started: its
    // list reads as at start, not as after File > New.
    if (work.records.isEmpty())
        control<QComboBox>(editor, QStringLiteral("cboExist"))->setEditText(QStringLiteral("No Questions Yet"));
}
}
