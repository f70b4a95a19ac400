#include "app/TestTitlePanel.h"

#include "widgets/Controls.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QLineEdit>

TestTitlePanel::TestTitlePanel(QWidget *host, QObject *parent) : QObject(parent)
{
    lblTitle0 = Controls::fittedLabel(host, QStringLiteral("lblTitle_0"), QStringLiteral("Test Title:"),
                                      Twips::rect(120, 120, 705, 195));
    txtTitle = Controls::lineEdit(host, QStringLiteral("txtTitle"), Twips::rect(120, 360, 3495, 285), MaxTitleText,
                                  QStringLiteral("Give the test a title here."));
    lblTitle1 = Controls::fittedLabel(host, QStringLiteral("lblTitle_1"), QStringLiteral("Class/Teacher:"),
                                      Twips::rect(3840, 120, 1095, 195));
    txtTeacher = Controls::lineEdit(host, QStringLiteral("txtTeacher"), Twips::rect(3840, 360, 3855, 285),
                                    MaxTitleText, QStringLiteral("Enter the class and/or teacher here."));
    // The captions name the boxes for screen readers.
    lblTitle0->setBuddy(txtTitle);
    lblTitle1->setBuddy(txtTeacher);
    connect(txtTitle, &QLineEdit::textChanged, this, &TestTitlePanel::titleTyped);
    connect(txtTeacher, &QLineEdit::textChanged, this, &TestTitlePanel::teacherTyped);
    QWidget::setTabOrder(txtTitle, txtTeacher);
}

QWidget *TestTitlePanel::tabEnd() const { return txtTeacher; }

void TestTitlePanel::show(const QString &title, const QString &teacher)
{
    if (txtTitle->text() != title)
        Controls::setLineText(txtTitle, title, MaxTitleText);
    if (txtTeacher->text() != teacher)
        Controls::setLineText(txtTeacher, teacher, MaxTitleText);
}
