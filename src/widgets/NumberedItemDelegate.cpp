#include "widgets/NumberedItemDelegate.h"

QString NumberedItemDelegate::numbered(int row, const QString &text)
{
    return QStringLiteral("%1. %2").arg(row + 1).arg(text);
}

void NumberedItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = numbered(index.row(), option->text);
}
