#pragma once
// Tools > "Live Class...": the window a teacher puts on the projector while
// a class takes the test from the teacher's own computer. It shows the join
// address large, with its QR code and one sentence on how to join; the
// students as they go (names can be hidden), who joined from which device
// and when; where the results go. The teacher holds the room: joining can be
// locked, a name let in, a student taken out or allowed one retake. While
// the class runs the window shows progress only: the class's figures and
// item analysis (which give right answers away) appear after "End Class",
// or when the teacher asks for them, saying that they show answers. "End
// Class" stops taking answers and says who did not finish; closing the
// window or the program while students are mid-quiz asks first.

#include "live/LiveSession.h"
#include "live/LiveTableModel.h"

#include <QMainWindow>
#include <functional>

class ItemAnalysisModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
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
    void letIn();
    void removeStudent();
    void allowRetake();
    // The row of the student chosen in the table; -1 (the teacher told to
    // choose one) for none.
    int chosenRow();
    bool mayClose();

    LiveSession m_session;
    QString m_testPath;
    QString m_folder;
    LiveTableModel *m_students = nullptr;
    ItemAnalysisModel *m_items = nullptr;
    QTimer *m_refresh = nullptr;

public:
    QLabel *lblHeading = nullptr;
    QLabel *picQR = nullptr;
    QLabel *lblAddress = nullptr;
    QLabel *lblHowTo = nullptr;
    QComboBox *cboAddress = nullptr;
    QLabel *lblFolder = nullptr;
    QLabel *lblTrouble = nullptr;
    QPushButton *cmdFolder = nullptr;
    QCheckBox *chkHideNames = nullptr;
    QCheckBox *chkLock = nullptr;
    QLineEdit *txtLetIn = nullptr;
    QPushButton *cmdLetIn = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdRetake = nullptr;
    QTableView *grdStudents = nullptr;
    QLabel *lblProgress = nullptr;
    QCheckBox *chkShowAnalysis = nullptr;
    QLabel *lblAnalysisWarning = nullptr;
    QLabel *lblFigures = nullptr;
    QTableView *grdItems = nullptr;
    QPushButton *cmdOpenResults = nullptr;
    QPushButton *cmdEnd = nullptr;
};
