// The question list and its buttons on a window of their own: the items
// follow every change of the test (add, edit, remove, undo, another test)
// without picking a question, and the edit-mode label answers a left click.
#include "ControlLookup.h"
#include "app/QuestionList.h"
#include "app/QuestionListPanel.h"
#include "document/DocumentEditor.h"
#include "document/QuestionRecord.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
QString question(const QString &text)
{
    return QuestionRecord::trueFalse(QStringLiteral("t"), text, QStringLiteral("none"), 0);
}

QStringList items(const QComboBox &list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.itemText(i);
    return texts;
}
}

class TestQuestionListPanel : public QObject {
    Q_OBJECT

private slots:
    void itemsFollowTheTest()
    {
        DocumentEditor editing;
        TestDocument loaded;
        loaded.append(question("Loaded"));
        editing.resetDocument(loaded);
        QWidget host;
        QuestionListPanel panel(&host, editing);
        QuestionList &list = *get<QuestionList>(host, "cboExist");
        QSignalSpy picked(&list, qOverload<int>(&QComboBox::activated));
        QCOMPARE(items(list), QStringList({"Loaded"}));

        editing.addQuestion(question("One"));
        editing.addQuestion(question("Two"));
        editing.replaceQuestion(2, question("One, edited"));
        QCOMPARE(items(list), QStringList({"Loaded", "One, edited", "Two"}));
        editing.removeQuestion(1);
        QCOMPARE(items(list), QStringList({"One, edited", "Two"}));
        editing.undo();   // the removal: back at its number
        QCOMPARE(items(list), QStringList({"Loaded", "One, edited", "Two"}));
        editing.undo();   // the edit
        QCOMPARE(items(list), QStringList({"Loaded", "One", "Two"}));
        QVERIFY(editing.addQuestions({question("A"), question("B")}, "Import 2 Questions"));
        QCOMPARE(items(list), QStringList({"Loaded", "One", "Two", "A", "B"}));
        editing.resetDocument(TestDocument());
        QCOMPARE(list.count(), 0);
        QCOMPARE(picked.count(), 0);
    }

    void editModeLabelAndButtons()
    {
        DocumentEditor editing;
        QWidget host;
        QuestionListPanel panel(&host, editing);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(!get<QLabel>(host, "lblEditMode")->isVisible());
        QVERIFY(!get<QPushButton>(host, "cmdEdit")->isEnabled() && !get<QPushButton>(host, "cmdRemove")->isEnabled() && !get<QuestionList>(host, "cboExist")->isEnabled());
        panel.showEditMode(true);
        panel.setEnabled(true, true, true);
        QVERIFY(get<QLabel>(host, "lblEditMode")->isVisible());
        QVERIFY(get<QPushButton>(host, "cmdEdit")->isEnabled() && get<QPushButton>(host, "cmdRemove")->isEnabled() && get<QuestionList>(host, "cboExist")->isEnabled());

        QSignalSpy clicked(&panel, &QuestionListPanel::editModeLabelClicked);
        QTest::mouseClick(get<QLabel>(host, "lblEditMode"), Qt::RightButton);
        QCOMPARE(clicked.count(), 0);
        QTest::mouseClick(get<QLabel>(host, "lblEditMode"), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }
};

QTEST_MAIN(TestQuestionListPanel)
#include "test_questionlistpanel.moc"
