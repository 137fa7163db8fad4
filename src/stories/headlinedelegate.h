#pragma once
// Draws the rows of the story lists from their model's roles (display texts per column, the
// first column's decoration as image, font and "AlertedRole" = Qt::UserRole + 4 for the
// alerted colour): the row's image at its left, then each column's text
// in its cell, cut with "..." where it does not fit; bold for unread stories, the alerted
// colour for stories that raised an alert, selection colours that follow the keyboard focus
// and a focus rectangle over the current row.

#include <QColor>
#include <QStyledItemDelegate>

class QFontMetrics;
class QHeaderView;
class QAbstractItemView;

// The text as it fits into a cell of the width: unchanged when it is at most width - 4
// pixels wide, else cut at its end until it fits with "..." appended.
QString CutTextToCell(const QFontMetrics& metrics, const QString& text, int cellWidth);

class CHeadlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CHeadlineDelegate(QObject* parent = nullptr);

    // The text colour of rows whose alerted flag is set.
    void SetAlertedColor(const QColor& color) { m_alerted = color; }

    // Draws one whole row of the view (the row of the index). Rows whose item data lies
    // beyond the row data are left alone.
    void DrawListRow(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index, const QAbstractItemView* view,
                     const QHeaderView* header) const;

    // Cells are drawn by DrawListRow; a cell on its own draws nothing.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor m_alerted = QColor(255, 0, 0);
};
