// The real message boxes and file dialogs: owned by the window in use, file
// dialogs wide enough for their columns, and no QtProject.conf left among
// the user's settings.
#include "TestFiles.h"
#include "dialogs/OwnerWindow.h"
#include "dialogs/QtFileDialogService.h"
#include "dialogs/QtMessageService.h"
#include "widgets/WindowFont.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

namespace {
// Runs `look` on the modal dialog as soon as it is up, then closes it.
void whenShown(std::function<void(QDialog *)> look)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        look(dialog);
        dialog->reject();
    });
    timer->start();
}

}

class TestQtServices : public QObject {
    Q_OBJECT
    QString m_config;

public:
    // The user's configuration folder, set before the application starts.
    explicit TestQtServices(const QString &config) : m_config(config) {}

private slots:
    void cleanupTestCase() { QDir(m_config).removeRecursively(); }

    void fileDialogShowsItsColumnsWholeAndKeepsNoHistory()
    {
        QWidget editor;
        editor.setGeometry(100, 100, 800, 600);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QTemporaryDir folder;
        writeBytes(folder.filePath("a test with a rather long name.ard"), {});

        QWidget *owner = nullptr;
        QStringList cut;
        whenShown([&](QDialog *dialog) {
            owner = dialog->parentWidget();
            auto *fd = qobject_cast<QFileDialog *>(dialog);
            fd->setViewMode(QFileDialog::Detail);
            QCoreApplication::processEvents();
            auto *tree = dialog->findChild<QTreeView *>("treeView");
            QHeaderView *header = tree->header();
            for (int i = 0; i < 4; ++i) {
                const int right = header->sectionViewportPosition(i) + header->sectionSize(i);
                const QString title = header->model()->headerData(i, Qt::Horizontal).toString();
                if (header->isSectionHidden(i) || right > tree->viewport()->width()
                    || header->sectionSize(i) < std::max(header->sectionSizeHint(i), static_cast<QAbstractItemView *>(tree)->sizeHintForColumn(i)))
                    cut << QString("%1 at %2+%3 (hint %4) in %5").arg(title).arg(header->sectionViewportPosition(i))
                               .arg(header->sectionSize(i)).arg(header->sectionSizeHint(i)).arg(tree->viewport()->width());
            }
        });
        QtFileDialogService dialogs;
        FileDialogRequest request;
        request.title = "Open File...";
        request.initialDir = folder.path();
        request.filters = {{"Ardeno Tests (*.ard)", "*.ard"}};
        dialogs.choose(request);
        QCOMPARE(owner, &editor);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
        QCOMPARE(QDir(m_config).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    // A message box and a file dialog open centred on the window they
    // belong to.
    void dialogsOpenCentredOnTheirWindow()
    {
        QWidget w;
        w.setGeometry(60, 40, 700, 520);   // within the 800 x 600 screen of the offscreen platform
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint centre = w.frameGeometry().center();
        const auto centred = [&](QDialog *dialog) {
            const QPoint c = dialog->frameGeometry().center();
            QVERIFY2((c - centre).manhattanLength() < 40, qPrintable(QStringLiteral("%1,%2 not near %3,%4")
                                                                          .arg(c.x()).arg(c.y()).arg(centre.x()).arg(centre.y())));
        };
        QtMessageService messages;
        whenShown(centred);
        messages.show({QStringLiteral("Centred?"), kAppTitle, MsgIcon::Information, MsgButtons::Ok, &w});
        QtFileDialogService files;
        FileDialogRequest request;
        request.owner = &w;
        whenShown(centred);
        files.choose(request);
    }

    void ownerIsTheWindowInUse()
    {
        QCOMPARE(ownerWindow(), nullptr);   // nothing shown
        QWidget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(ownerWindow(), &w);
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    config.setAutoRemove(false);   // the test object removes it
    QApplication app(argc, argv);
    TestQtServices test(config.path());
    return QTest::qExec(&test, argc, argv);
}
#include "test_qtservices.moc"
