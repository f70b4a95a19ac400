// The question entry on a window of its own: the frame on screen and the
// parked one, what is read back with its messages, a record shown in the
// fields, and the fields emptied.
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "app/QuestionEntryPanel.h"
#include "widgets/FrameBox.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

class TestQuestionEntryPanel : public QObject {
    Q_OBJECT

private slots:
    void framesAndFields()
    {
        ScopedPlatform p;
        QWidget host;
        QuestionEntryPanel entry(&host);
        entry.buildTypeChoice(&host);
        QSignalSpy chosen(&entry, &QuestionEntryPanel::typeChosen);
        QVERIFY(host.findChild<QPlainTextEdit *>("txtMQuestion"));
        QCOMPARE(get<QGroupBox>(host, "grpTrueFalse")->x(), -1333);   // parked at -20000 twips

        entry.showFrame(QuestionKind::TrueFalse);
        QCOMPARE(get<QGroupBox>(host, "grpTrueFalse")->x(), 8);
        QVERIFY(get<QGroupBox>(host, "grpTrueFalse")->isEnabled());
        QVERIFY(!get<QGroupBox>(host, "grpMultiple")->isEnabled());   // Tab skips the parked frame
        QVERIFY(entry.selectType(QuestionKind::TrueFalse));
        QVERIFY(!entry.selectType(QuestionKind::TrueFalse));
        get<QRadioButton>(host, "optType_0")->click();
        QCOMPARE(chosen.count(), 2);   // checked by the program, then by a click
        QCOMPARE(chosen.last().at(0).value<QuestionKind>(), QuestionKind::MultipleChoice);

        // Read back: the question first, then all four answers.
        QString question;
        QString answers[4];
        QVERIFY(!entry.enteredQuestion(QuestionKind::MultipleChoice, question));
        get<QPlainTextEdit>(host, "txtMQuestion")->setPlainText("two\nlines");
        QVERIFY(entry.enteredQuestion(QuestionKind::MultipleChoice, question));
        QCOMPARE(question, QString("two\r\nlines"));
        get<QLineEdit>(host, "txtManswer_0")->setText("only A");
        QVERIFY(!entry.enteredAnswers(answers));
        QCOMPARE(p.messages.texts(), QStringList({"You must enter a question!", "You must enter four possible answers!"}));
        QCOMPARE(get<QLineEdit>(host, "txtManswer_0")->text(), QString("only A"));
        get<QLineEdit>(host, "txtMpic")->clear();
        QCOMPARE(entry.enteredMedia(QuestionKind::MultipleChoice), QString("none"));

        // A record into the fields; a longer text than typing allows stays whole.
        const QChar sep(0xA9);
        const QString longAnswer(120, 'a');
        QVERIFY(entry.showMultipleChoice(QuestionView(QStringList{"m  2", "Q?", longAnswer, "b", "c", "d", "pic.bmp", " 3"}.join(sep))));
        QCOMPARE(get<QLineEdit>(host, "txtManswer_0")->text(), longAnswer);
        QVERIFY(get<QRadioButton>(host, "optABCD_3")->isChecked());
        QCOMPARE(entry.enteredCorrectAnswer(), 3);
        QCOMPARE(get<QLineEdit>(host, "txtMpic")->text(), QString("pic.bmp"));
        QVERIFY(!entry.showTrueFalse(QuestionView(QStringList{"t", "Q", "none", " 2"}.join(sep))));
        QVERIFY(entry.showTrueFalse(QuestionView(QStringList{"t", "Q", "none", " 1"}.join(sep))));
        QCOMPARE(entry.enteredTrueFalseAnswer(), 1);

        entry.clearFields();
        QVERIFY(get<QPlainTextEdit>(host, "txtMQuestion")->toPlainText().isEmpty());
        QVERIFY(get<QLineEdit>(host, "txtManswer_0")->text().isEmpty());
        QCOMPARE(get<QLineEdit>(host, "txtMpic")->text(), QString("none"));
        QCOMPARE(get<QLineEdit>(host, "txtTFpic")->text(), QString("none"));
        QVERIFY(get<QRadioButton>(host, "optABCD_3")->isChecked());   // the chosen answers stay
        QVERIFY(get<QRadioButton>(host, "optTrueAnswer_1")->isChecked());
    }
};

QTEST_MAIN(TestQuestionEntryPanel)
#include "test_questionentrypanel.moc"
