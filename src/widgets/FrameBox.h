#pragma once
// A frame as Windows draws one: the caption sits on the frame line, so
// controls placed a little below the frame's top edge are not crossed by a
// line drawn under a separate caption row (as some Qt styles do).

#include <QGroupBox>

class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    explicit FrameBox(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
