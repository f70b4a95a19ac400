// Every window as a screen reader receives it: the accessibility tree Qt
// hands to AT-SPI, walked from each window of the program (the editor, the
// preview, the log viewer, Class Results, the AVI maker, the live class,
// the help, and every dialog). No control the keyboard can reach may be
// without a name, and each window is a window to assistive technology.

#include "TestDoubles.h"
#include "TestFiles.h"
#include "app/dlgBankChooser.h"
#include "app/dlgTestLanguage.h"
#include "app/frmCreate.h"
#include "app/toolshelp/HelpWindow.h"
#include "avimaker/dlgAVIOptions.h"
#include "avimaker/frmAVI.h"
#include "dialogs/dlgAsk.h"
#include "dialogs/dlgReport.h"
#include "document/TestFile.h"
#include "live/frmLive.h"
#include "logview/frmClass.h"
#include "logview/frmLog.h"
#include "preview/frmPreview.h"
#include "webquiz/dlgPlatformExport.h"
#include "widgets/FocusRing.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <cstring>

namespace {
QString describe(QAccessibleInterface *iface)
{
    const QObject *o = iface->object();
    QString name = o ? o->objectName() : QString();
    if (name.isEmpty() && o)
        name = QString::fromLatin1(o->metaObject()->className());
    return QStringLiteral("%1 (role %2)").arg(name).arg(int(iface->role()));
}

// The focusable, shown controls under `iface` that have no name.
void unnamedUnder(QAccessibleInterface *iface, QStringList &out, int depth = 0)
{
    if (!iface || depth > 40)
        return;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (!child)
            continue;
        const QAccessible::State state = child->state();
        // A table's cells are its content, read with their row and column.
        if (state.focusable && child->role() != QAccessible::Cell && !state.invisible && !state.offscreen && child->text(QAccessible::Name).trimmed().isEmpty())
            out << describe(child);
        unnamedUnder(child, out, depth + 1);
    }
}

QStringList unnamed(QWidget *window)
{
    window->show();
    QTest::qWait(50);
    QStringList out;
    unnamedUnder(QAccessible::queryAccessibleInterface(window), out);
    return out;
}
}

// Captions, numbers and answer letters cut by their control: a text wider
// than the label or button that shows it on one line.
QStringList cutTexts(QWidget *window)
{
    window->show();
    QTest::qWait(50);
    QStringList out;
    for (QLabel *l : window->findChildren<QLabel *>()) {
        if (!l->isVisibleTo(window) || l->wordWrap() || l->text().isEmpty() || l->text().contains(QLatin1Char('\n'))
            || l->textFormat() == Qt::RichText || !l->pixmap().isNull())
            continue;
        const int needed = l->fontMetrics().horizontalAdvance(QString(l->text()).remove(QLatin1Char('&')));
        if (needed > l->contentsRect().width() + 1)
            out << QStringLiteral("%1 \"%2\" needs %3, has %4").arg(l->objectName(), l->text()).arg(needed).arg(l->contentsRect().width());
    }
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (!b->isVisibleTo(window) || b->text().isEmpty())
            continue;
        // The text, and for a radio button or check box its mark before it.
        int needed = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&')));
        if (qobject_cast<QRadioButton *>(b))
            needed += b->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b)
                      + b->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
        else if (qobject_cast<QCheckBox *>(b))
            needed += b->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b)
                      + b->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
        if (needed > b->width())
            out << QStringLiteral("%1 \"%2\" needs %3, has %4").arg(b->objectName(), b->text()).arg(needed).arg(b->width());
    }
    return out;
}

class TestAccessibility : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TestDocument m_doc;

    // The window of that name, opened on a test of two questions.
    QWidget *open(const QString &window, std::unique_ptr<QWidget> &owned)
    {
        const QStringList records = {
            QStringLiteral("m\u00A9Longest river?\u00A9Thames\u00A9Rhine\u00A9Nile\u00A9Seine\u00A9none\u00A9 2"),
            QStringLiteral("t\u00A9The Rhine flows into the Black Sea.\u00A9none\u00A9 1")};
        // The preview reads its test as long as it is open.
        TestDocument &doc = m_doc;
        doc.setTitle(QStringLiteral("Rivers"));
        doc.setTeacher(QStringLiteral("Class 3"));
        doc.setRecords(records);
        const QString test = m_dir.filePath(QStringLiteral("rivers.ard"));
        writeBytes(test, testFileBytes(QStringLiteral("Rivers"), QStringLiteral("Class 3"), records));

        QWidget *w = nullptr;
        if (window == QLatin1String("editor")) {
            owned = std::make_unique<frmCreate>();
        } else if (window == QLatin1String("preview")) {
            w = frmPreview::showPreview(doc, QStringLiteral("Rivers"), QStringLiteral("Class 3"), nullptr);
        } else if (window == QLatin1String("log viewer")) {
            owned = std::make_unique<frmLog>();
        } else if (window == QLatin1String("class results")) {
            owned = std::make_unique<frmClass>();
        } else if (window == QLatin1String("avi maker")) {
            owned = std::make_unique<frmAVI>();
        } else if (window == QLatin1String("live class")) {
            w = frmLive::open(test, nullptr);
        } else if (window == QLatin1String("help")) {
            w = HelpWindow::showContents();
        } else if (window == QLatin1String("leave edit mode")) {
            owned = std::make_unique<dlgAsk>();
        } else if (window == QLatin1String("report")) {
            owned = std::make_unique<dlgReport>(nullptr, QStringLiteral("Import"), QStringLiteral("2 imported."),
                                                QStringList{QStringLiteral("Line 3: skipped.")});
        } else if (window == QLatin1String("platform export")) {
            owned = std::make_unique<dlgPlatformExport>(nullptr, ScormSettings(), true);
        } else if (window == QLatin1String("avi options")) {
            // A 16 x 8 bitmap's info header: the compressors for it, their
            // quality slider and key-frame and data-rate boxes.
            QByteArray info(40, '\0');
            const quint32 fields[] = {40, 16, 8};
            std::memcpy(info.data(), fields, sizeof fields);
            const quint16 planes = 1, bits = 24;
            std::memcpy(info.data() + 12, &planes, 2);
            std::memcpy(info.data() + 14, &bits, 2);
            owned = std::make_unique<dlgAVIOptions>(nullptr, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, info);
        } else if (window == QLatin1String("bank chooser")) {
            owned = std::make_unique<dlgBankChooser>(BankChoice({BankEntry{0, false, QStringLiteral("Q?"), QString(), 1, QString(), QString()}}, 1),
                                                     QStringLiteral("bank.gift"));
        } else if (window == QLatin1String("test language")) {
            owned = std::make_unique<dlgTestLanguage>(QStringLiteral("fr"));
        }
        return owned ? owned.get() : w;
    }

private slots:
    void everyFocusableControlHasAName_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *w : {"editor", "preview", "log viewer", "class results", "avi maker", "live class", "help",
                              "leave edit mode", "report", "platform export", "bank chooser", "avi options", "test language"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void everyFocusableControlHasAName()
    {
        QFETCH(QString, window);
        ScopedPlatform platform;
        std::unique_ptr<QWidget> owned;
        QWidget *w = open(window, owned);
        QVERIFY(w);
        const QStringList missing = unnamed(w);
        if (window == QLatin1String("editor")) {
            // The question frame not in use is hidden, not only moved away.
            QVERIFY(!w->findChild<QWidget *>(QStringLiteral("txtTFquestion"))->isVisibleTo(w));
        }
        if (window == QLatin1String("preview")) {
            // The options speak with their answers.
            auto *a = w->findChild<QWidget *>(QStringLiteral("optABCD_2"));
            QCOMPARE(QAccessible::queryAccessibleInterface(a)->text(QAccessible::Name), QStringLiteral("C: Nile"));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("\n"))));
        const QAccessible::Role role = QAccessible::queryAccessibleInterface(w)->role();
        QVERIFY2(role == QAccessible::Window || role == QAccessible::Dialog, qPrintable(QString::number(int(role))));
        w->close();
    }

    // A focused button is ringed in black, seen at 3:1 at least against the
    // window; the default button without the focus is not.
    void focusIsRingedInBlack()
    {
        ScopedPlatform platform;
        FocusRing::useForProgram();
        frmCreate w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *save = w.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
        auto *add = w.findChild<QPushButton *>(QStringLiteral("cmdAdd"));
        QVERIFY(save && add && add->isDefault());
        // Reached by Tab, as a keyboard user reaches it.
        for (int i = 0; i < 40 && !save->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget *>(&w), Qt::Key_Tab);
        QVERIFY(save->hasFocus());
        const QImage focused = save->grab().toImage();
        const QImage other = add->grab().toImage();
        const QColor window = w.palette().color(QPalette::Window);
        const auto luminance = [](QColor c) {
            const auto channel = [](double v) { v /= 255; return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
        };
        const auto contrast = [&](QColor a, QColor b) {
            const double x = luminance(a), y = luminance(b);
            return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
        };
        QVERIFY(contrast(focused.pixelColor(1, focused.height() / 2), window) >= 3.0);
        QVERIFY(contrast(other.pixelColor(1, other.height() / 2), window) < 3.0);
    }

    // After "Add This Question" a screen reader reads the new number: the
    // number's label takes it as its accessible name (and tells assistive
    // technology, which a test without an accessibility bus cannot hear).
    void theNewNumberIsTheLabelsNameAfterAdd()
    {
        ScopedPlatform platform;
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.findChild<QPlainTextEdit *>(QStringLiteral("txtMQuestion"))->setPlainText(QStringLiteral("Longest river?"));
        for (int i = 0; i < 4; ++i)
            w.findChild<QLineEdit *>(QStringLiteral("txtManswer_%1").arg(i))->setText(QStringLiteral("x%1").arg(i));
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("cmdAdd")), Qt::LeftButton);
        QCOMPARE(w.document().questionCount(), 1);
        auto *number = w.findChild<QLabel *>(QStringLiteral("lblNumber"));
        QCOMPARE(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Name), QStringLiteral("Question # 2"));
    }

    // A screen reader tells the editor's boxes apart by what they hold; a
    // right-answer button says which answer it makes right, described by
    // the answer's text. Names never follow what is typed.
    void theEditorsBoxesAreNamedForWhatTheyHold()
    {
        ScopedPlatform platform;
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto name = [&](const char *object) {
            QObject *o = w.findChild<QWidget *>(QString::fromLatin1(object));
            return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
        };
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("txtManswer_2")), QStringLiteral("Nile"));
        const struct {
            const char *object, *name;
        } named[] = {
            {"txtMQuestion", "Question"}, {"txtManswer_0", "Answer A"}, {"txtManswer_2", "Answer C"},
            {"txtMpic", "Media file"}, {"optABCD_2", "C is the right answer"}, {"txtTFquestion", "Question"},
            {"optTrueAnswer_1", "False is the right answer"}, {"lblEditMode", "Leave edit mode"},
        };
        for (const auto &n : named)
            QCOMPARE(name(n.object), QString::fromLatin1(n.name));
        QCOMPARE(QAccessible::queryAccessibleInterface(w.findChild<QWidget *>(QStringLiteral("optABCD_2")))
                     ->text(QAccessible::Description),
                 QStringLiteral("Nile"));
    }

    // At the default font and at 150 % (the test run again with
    // QT_FONT_DPI=144): no caption, number or answer letter is cut.
    void nothingIsCut_data() { everyFocusableControlHasAName_data(); }
    void nothingIsCut()
    {
        QFETCH(QString, window);
        ScopedPlatform platform;
        std::unique_ptr<QWidget> owned;
        QWidget *w = open(window, owned);
        QVERIFY(w);
        const QStringList cut = cutTexts(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
        w->close();
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
