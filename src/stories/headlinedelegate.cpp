#include "src/stories/headlinedelegate.h"

#include "src/stories/headlinemodel.h"
#include "src/stories/storyids.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

QString CutTextToCell(const QFontMetrics& metrics, const QString& text, int cellWidth)
{
    const int room = cellWidth - 4;
    if (metrics.horizontalAdvance(text) <= room)
        return text;
    static const QString dots = QStringLiteral("...");
    // The longest start of the text that fits with the dots (binary search on its length).
    int low = 0;
    int high = static_cast<int>(text.size());
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + dots) <= room)
            low = mid;
        else
            high = mid - 1;
    }
    return text.left(low) + dots;
}

CHeadlineDelegate::CHeadlineDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void CHeadlineDelegate::paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const {}

QSize CHeadlineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QFont font = option.font;
    const QVariant rowFont = index.data(Qt::FontRole);
    if (rowFont.canConvert<QFont>())
        font = rowFont.value<QFont>();
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(index.data().toString()) + 4,
                 std::max(HEADLINE_IMAGE_HEIGHT, metrics.height() + 2));
}

void CHeadlineDelegate::DrawListRow(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index, const QAbstractItemView* view,
                                    const QHeaderView* header) const
{
    // Rows whose item data lies beyond the row data have no data to draw.
    if (!index.isValid() || !index.data(Qt::DisplayRole).isValid())
        return;
    const QAbstractItemModel* model = index.model();
    const int row = index.row();
    const QModelIndex first = model->index(row, 0);

    QFont font = option.font;
    const QVariant rowFont = first.data(Qt::FontRole);
    if (rowFont.canConvert<QFont>())
        font = rowFont.value<QFont>();
    const QPalette& palette = option.palette;
    const QColor rowText = first.data(CHeadlineModel::AlertedRole).toBool()
                               ? m_alerted
                               : palette.color(QPalette::Active, QPalette::WindowText);

    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool listFocus = view && view->hasFocus();
    QColor background;
    QColor text;
    if (selected && listFocus) {
        background = palette.color(QPalette::Active, QPalette::Highlight);
        text = palette.color(QPalette::Active, QPalette::HighlightedText);
    } else if (selected) {
        // The inactive border colour of the classic desktop: a light button-face grey.
        background = palette.color(QPalette::Inactive, QPalette::Button);
        text = rowText;
    } else {
        background = palette.color(QPalette::Active, QPalette::Base);
        text = rowText;
    }

    const QRect rowRect = option.rect;
    painter->save();
    painter->setFont(font);
    // The image area keeps the list's own background.
    painter->fillRect(QRect(rowRect.left(), rowRect.top(), HEADLINE_IMAGE_WIDTH, rowRect.height()),
                      palette.color(QPalette::Active, QPalette::Base));
    // The row's image is the first column's decoration (any story list's model gives it).
    const QVariant decoration = first.data(Qt::DecorationRole);
    if (decoration.canConvert<QPixmap>()) {
        QPixmap picture = decoration.value<QPixmap>();
        if (!picture.isNull()) {
            if (selected) {
                // Blend the picture with the selection colour, leaving its clear parts clear.
                QPainter blend(&picture);
                blend.setCompositionMode(QPainter::CompositionMode_SourceAtop);
                QColor tint = background;
                tint.setAlpha(110);
                blend.fillRect(picture.rect(), tint);
            }
            painter->drawPixmap(rowRect.left(), rowRect.top(), picture);
        }
    }

    const QFontMetrics metrics(font);
    const int columns = model->columnCount();
    for (int visual = 0; visual < columns; ++visual) {
        const int column = header ? header->logicalIndex(visual) : visual;
        const int width = header ? header->sectionSize(column) : 100;
        int left = rowRect.left() + (header ? header->sectionViewportPosition(column) : 0);
        int cellWidth = width;
        if (column == COLUMN_CONTENT) {
            left += HEADLINE_IMAGE_WIDTH;
            cellWidth -= HEADLINE_IMAGE_WIDTH;
        }
        if (cellWidth <= 0)
            continue;
        const QRect cell(left, rowRect.top(), cellWidth, rowRect.height());
        painter->fillRect(cell, background);
        const QString cellText =
            CutTextToCell(metrics, model->index(row, column).data().toString(), cellWidth);
        painter->setClipRect(cell);
        painter->setPen(text);
        painter->drawText(
            QRect(cell.left() + 2, cell.top() + 1, cell.width() - 2, cell.height() - 1),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cellText);
        painter->setClipping(false);
    }

    if (option.state.testFlag(QStyle::State_HasFocus) && listFocus) {
        // The classic dotted focus rectangle, an outline in the row's text colour.
        const QRect focus(rowRect.left() + HEADLINE_IMAGE_WIDTH, rowRect.top(),
                          rowRect.width() - HEADLINE_IMAGE_WIDTH, rowRect.height());
        painter->setClipping(false);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(text, 1, Qt::DotLine));
        painter->drawRect(focus.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
