#pragma once
// Tools > "Live Class...": the window a teacher puts on the projector while
// a class takes the test from the teacher's own computer. It shows the join
// address large, with its QR code and one sentence on how to join; the
// students as they go (names can be hidden); the class's figures and item
// analysis as answers come in; where the results go. "End Class" stops
// taking answers and says who did not finish; closing the window or the
// program while students are mid-quiz asks first.

#include "live/LiveSession.h"
#include "live/LiveTableModel.h"

#include <QMainWindow>
#include <functional>

class ItemAnalysisModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

class frmLive : public QMainWindow {
    Q_OBJECT
public:
    // The test the editor holds: its file and what is on screen.
    struct EditorTest {
        QString path;
        QString title;
        QString teacher;
        QStringList records;
        TestCompanion companion;
    };
    // Adds Tools > "Live Class..." after `after`; a test not saved as it is
    // on screen is refused with the reason.
    static QAction *addToMenu(QMenu *tools, QAction *after, QWidget *owner, std::function<EditorTest()> test);

    // Opens the window for the test saved at `testPath` and starts the class
    // (the page is made behind a progress dialog). Null when the test cannot
    // be handed out; the teacher was told why. `checked`: the test as its
    // file was read when it was checked (it is not read again).
    static frmLive *open(const QString &testPath, QWidget *owner, const LoadedTest *checked = nullptr);

    explicit frmLive(QWidget *owner = nullptr);
    LiveSession &session() { return m_session; }
    // Students who joined, have not finished, and the class has not ended.
    int studentsMidQuiz() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    bool begin(const QString &testPath, const LoadedTest *checked);
    bool serveOn(const QString &host);
    void showAddress();
    void showTrouble(const QString &text);
    void refresh();
    void chooseFolder();
    void endClass();
    void openResults();
    bool mayClose();

    LiveSession m_session;
    QString m_testPath;
    QString m_folder;
    LiveTableModel *m_students = nullptr;
    ItemAnalysisModel *m_items = nullptr;
    QTimer *m_refresh = nullptr;

public:
    QLabel *picQR = nullptr;
    QLabel *lblAddress = nullptr;
    QLabel *lblHowTo = nullptr;
    QComboBox *cboAddress = nullptr;
    QLabel *lblFolder = nullptr;
    QLabel *lblTrouble = nullptr;
    QPushButton *cmdFolder = nullptr;
    QCheckBox *chkHideNames = nullptr;
    QTableView *grdStudents = nullptr;
    QLabel *lblFigures = nullptr;
    QTableView *grdItems = nullptr;
    QPushButton *cmdOpenResults = nullptr;
    QPushButton *cmdEnd = nullptr;
};
