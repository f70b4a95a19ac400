#pragma once
// Enter presses the window's default button from every box, also from the
// question boxes, where Ctrl+Enter starts a new line; a button that has the
// keyboard focus takes Enter itself, as on Windows.

#include <QObject>

class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QWidget;

class DefaultButtonKeys : public QObject {
    Q_OBJECT

public:
    DefaultButtonKeys(QPushButton *defaultButton, QWidget *window);
    // A multi-line box whose Enter presses the default button.
    void watch(QPlainTextEdit *box);
    // A key that reached the window; true when it was Enter and is done.
    bool windowKeyPress(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pressDefaultButton();

    QPushButton *m_default;
    QWidget *m_window;
};
