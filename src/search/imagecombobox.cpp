#include "src/search/imagecombobox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace
{

constexpr int kIndentPerLevel = 16;
constexpr int kImageSize = 16;
constexpr int kTextOffset = 20;

QFont entryFont(QFont font, int style)
{
    font.setBold(style & CImageComboBox::StyleBold);
    font.setItalic(style & CImageComboBox::StyleItalic);
    font.setUnderline(style & CImageComboBox::StyleUnderline);
    return font;
}

// Draws one entry: background, picture vertically centred, text 20 pixels right of the
// picture's left edge on one line, cut with an ellipsis, "&" shown as it is.
void drawEntry(QPainter* painter, const QRect& rect, const QPixmap& image, const QString& text,
               const QFont& font, bool selected, const QPalette& palette, int indent)
{
    painter->save();
    painter->fillRect(rect, palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const int left = rect.left() + indent;
    if (!image.isNull())
        painter->drawPixmap(left, rect.top() + (rect.height() - kImageSize) / 2, image);
    painter->setFont(font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(left + kTextOffset, rect.top(), rect.right() - left - kTextOffset,
                         rect.height());
    const QString shown = painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
}

class CImageComboDelegate : public QStyledItemDelegate
{
public:
    explicit CImageComboDelegate(CImageComboBox* box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int style = index.data(CImageComboBox::StyleRole).toInt();
        drawEntry(painter, option.rect, m_box->Image(index.data(CImageComboBox::ImageRole).toInt()),
                  index.data(Qt::DisplayRole).toString(), entryFont(option.font, style),
                  option.state & QStyle::State_Selected, option.palette,
                  kIndentPerLevel * index.data(CImageComboBox::LevelRole).toInt());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(m_box->width(), std::max(QFontMetrics(option.font).height(), kImageSize));
    }

private:
    CImageComboBox* m_box;
};

} // namespace

CImageComboBox::CImageComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new CImageComboDelegate(this));
    setMaxVisibleItems(200 / std::max(1, fontMetrics().height()));
}

void CImageComboBox::SetImages(std::vector<QPixmap> images)
{
    m_images = std::move(images);
    update();
}

QPixmap CImageComboBox::Image(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_images.size())
        return QPixmap();
    return m_images[static_cast<size_t>(index)];
}

int CImageComboBox::AddEntry(const QString& text, int image, int level, long id, int style)
{
    addItem(text);
    const int index = count() - 1;
    setItemData(index, image, ImageRole);
    setItemData(index, level, LevelRole);
    setItemData(index, qlonglong(id), IdRole);
    setItemData(index, style, StyleRole);
    return index;
}

long CImageComboBox::EntryId(int index) const
{
    return static_cast<long>(itemData(index, IdRole).toLongLong());
}

int CImageComboBox::EntryLevel(int index) const
{
    return itemData(index, LevelRole).toInt();
}

void CImageComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const int index = currentIndex();
    if (index < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    drawEntry(&painter, field, Image(itemData(index, ImageRole).toInt()), itemText(index),
              entryFont(font(), itemData(index, StyleRole).toInt()), hasFocus(), palette(), 0);
}
