#pragma once
// Shows each row of a list with its number in front ("3. Which river ..."),
// while the row's own text stays what it is: the question list numbers its
// questions without its items changing.

#include <QStyledItemDelegate>

class NumberedItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text a row shows: its number (from 1), a full stop, a blank, its text.
    static QString numbered(int row, const QString &text);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
