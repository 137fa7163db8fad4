#include "src/navbar/groupbar.h"

#include "src/navbar/navbarids.h"
#include "src/platform/resources.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace
{

// The widest picture an item shows at its own size (with NAVBAR_PICTURE_MAX as the height).
constexpr int kPictureMaxWidth = 3 * NAVBAR_PICTURE_MAX;
// The list scrolls by this much a wheel step or arrow click.
constexpr int kScrollStep = 24;
// How long a header takes for one step of its slide; a long slide is quicker per step, so
// that no slide takes longer than kSlideLongest.
constexpr int kSlideStepMs = 4;
constexpr int kSlideShortest = 60;
constexpr int kSlideLongest = 200;
// The frame around the state of an item's picture: its distance from the picture and width.
constexpr int kFrameGap = 2;
constexpr int kFrameWidth = 2;
// Room left and right of a caption.
constexpr int kCaptionMargin = 3;

// How far apart two colours are for reading (1 to 21), from their relative luminance.
double contrastRatio(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& colour) {
        auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
               0.0722 * channel(colour.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Lines of the text word-wrapped to the width; the last line that fits the height ends in an
// ellipsis when text remains.
QStringList wrapAndElide(const QString& text, const QFont& font, int width, int height)
{
    QStringList lines;
    if (width <= 0 || height <= 0 || text.isEmpty())
        return lines;
    const QFontMetrics metrics(font);
    const int maxLines = std::max(1, height / std::max(1, metrics.lineSpacing()));
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() + 1 == maxLines) {
            // The last line that fits takes the rest of the text.
            const QString rest = text.mid(line.textStart()).simplified();
            lines << metrics.elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

// A raised or sunken edge around the rectangle: the first colour top and left, the second
// bottom and right.
void drawEdge(QPainter& painter, const QRect& rect, const QColor& topLeft,
              const QColor& bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

} // namespace

// ---- the item list

CNavItemList::CNavItemList(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("NavigationBarItems"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(kScrollStep);
}

void CNavItemList::SetRows(std::vector<Row> rows)
{
    m_rows = std::move(rows);
    m_selected = -1;
    m_hot = -1;
    updateScrollRange();
    viewport()->update();
}

void CNavItemList::SetSelected(int row)
{
    m_selected = row >= 0 && row < GetCount() ? row : -1;
    viewport()->update();
}

void CNavItemList::SetColors(const QColor& back, const QColor& text)
{
    m_back = back;
    m_text = text;
    viewport()->update();
}

QColor CNavItemList::BackColor() const
{
    if (m_back.isValid())
        return m_back;
    // The system's button shadow, made as much darker (or lighter, under dark text) as the
    // captions need to be read easily: some styles' shadow is too light for white text.
    constexpr double kReadable = 4.5;
    const QColor text = TextColor();
    QColor back = palette().color(QPalette::Dark);
    const bool lightText = text.lightness() > back.lightness();
    for (int i = 0; i < 12 && contrastRatio(back, text) < kReadable; ++i)
        back = lightText ? back.darker(110) : back.lighter(110);
    return back;
}

QColor CNavItemList::TextColor() const
{
    return m_text.isValid() ? m_text : palette().color(QPalette::Base);
}

int CNavItemList::RowHeight(int row) const
{
    if (row < 0 || row >= GetCount())
        return 0;
    const QPixmap& picture = m_rows[static_cast<size_t>(row)].picture;
    return (picture.isNull() ? 0 : picture.height()) + NAVBAR_ITEM_EXTRA;
}

QRect CNavItemList::RowRect(int row) const
{
    if (row < 0 || row >= GetCount())
        return QRect();
    int top = -verticalScrollBar()->value();
    for (int i = 0; i < row; ++i)
        top += RowHeight(i);
    return QRect(0, top, viewport()->width(), RowHeight(row));
}

int CNavItemList::RowAt(const QPoint& viewportPos) const
{
    if (viewportPos.x() < 0 || viewportPos.x() >= viewport()->width())
        return -1;
    int top = -verticalScrollBar()->value();
    for (int i = 0; i < GetCount(); ++i) {
        const int height = RowHeight(i);
        if (viewportPos.y() >= top && viewportPos.y() < top + height)
            return i;
        top += height;
    }
    return -1;
}

void CNavItemList::EnsureVisible(int row)
{
    const QRect rect = RowRect(row);
    if (rect.isNull())
        return;
    QScrollBar* bar = verticalScrollBar();
    if (rect.top() < 0)
        bar->setValue(bar->value() + rect.top());
    else if (rect.bottom() >= viewport()->height())
        bar->setValue(bar->value() + rect.bottom() - viewport()->height() + 1);
}

void CNavItemList::updateScrollRange()
{
    int total = 0;
    for (int i = 0; i < GetCount(); ++i)
        total += RowHeight(i);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, total - viewport()->height()));
    bar->setPageStep(std::max(1, viewport()->height()));
}

void CNavItemList::setHot(int row)
{
    if (row == m_hot)
        return;
    m_hot = row;
    viewport()->update();
}

void CNavItemList::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void CNavItemList::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CNavItemList::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), BackColor());
    for (int row = 0; row < GetCount(); ++row) {
        const QRect rect = RowRect(row);
        if (rect.bottom() < 0)
            continue;
        if (rect.top() >= viewport()->height())
            break;
        drawRow(painter, row, rect);
    }
}

void CNavItemList::drawRow(QPainter& painter, int row, const QRect& rect) const
{
    const Row& item = m_rows[static_cast<size_t>(row)];
    int captionTop = rect.top() + NAVBAR_PICTURE_TOP;
    if (!item.picture.isNull()) {
        const QSize size = item.picture.deviceIndependentSize().toSize();
        const QRect pictureRect(rect.left() + (rect.width() - size.width()) / 2,
                                rect.top() + NAVBAR_PICTURE_TOP, size.width(), size.height());
        painter.drawPixmap(pictureRect.topLeft(), item.picture);
        captionTop = pictureRect.bottom() + 1 + NAVBAR_CAPTION_GAP;

        // The state frame: sunk in for the selected item and the one pressed under the
        // mouse, raised for the one under the mouse.
        const bool sunken = row == m_selected || (row == m_hot && m_leftDown);
        const bool raised = !sunken && row == m_hot;
        if (sunken || raised) {
            const QColor dark =
                m_back.isValid() ? QColor(128, 128, 128) : palette().color(QPalette::Shadow);
            const QColor light =
                m_back.isValid() ? QColor(Qt::white) : palette().color(QPalette::Light);
            const QRect frame =
                pictureRect.adjusted(-kFrameGap - kFrameWidth, -kFrameGap - kFrameWidth,
                                     kFrameGap + kFrameWidth - 1, kFrameGap + kFrameWidth - 1);
            drawEdge(painter, frame, sunken ? dark : light, sunken ? light : dark, kFrameWidth);
        }
    }

    const QRect caption(rect.left() + kCaptionMargin, captionTop, rect.width() - 2 * kCaptionMargin,
                        rect.bottom() + 1 - NAVBAR_CAPTION_BOTTOM - captionTop);
    const QStringList lines = wrapAndElide(item.text, font(), caption.width(), caption.height());
    painter.setPen(TextColor());
    painter.setFont(font());
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    int y = caption.top();
    for (const QString& line : lines) {
        painter.drawText(QRect(caption.left(), y, caption.width(), lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        y += lineHeight;
    }
}

void CNavItemList::mousePressEvent(QMouseEvent* event)
{
    const int row = RowAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_leftDown = true;
    setHot(row);
    viewport()->update();
    if (row >= 0)
        emit rowPressed(row);
}

void CNavItemList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_leftDown = false;
        viewport()->update();
        return;
    }
    if (event->button() == Qt::RightButton)
        emit rightClicked(RowAt(event->position().toPoint()), event->globalPosition().toPoint());
}

void CNavItemList::mouseMoveEvent(QMouseEvent* event)
{
    setHot(RowAt(event->position().toPoint()));
}

void CNavItemList::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    setHot(-1);
}

bool CNavItemList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        setHot(-1);
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- the group bar

CGroupBar::CGroupBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NavigationBar"));
    // The title font: the desktop's interface font at the size the string table gives it.
    m_titleFont = QApplication::font();
    m_titleFont.setPointSize(10);
    m_list = new CNavItemList(this);
    m_list->hide();
    connect(m_list, &CNavItemList::rowPressed, this, [this](int row) {
        SelectItem(row);
        emit itemPressed(row);
    });
    connect(m_list, &CNavItemList::rightClicked, this, [this](int row, const QPoint& global) {
        if (row >= 0)
            emit itemContextMenu(row, global);
        else
            emit groupContextMenu(-1, global);
    });
}

CGroupBar::~CGroupBar()
{
    m_editedGroup = -1;
    if (m_editor)
        m_editor->removeEventFilter(this);
    if (m_slide)
        m_slide->stop();
}

QSize CGroupBar::sizeHint() const
{
    return QSize(180, 400);
}

QSize CGroupBar::minimumSizeHint() const
{
    return QSize(60, HeaderHeight() * std::max(1, GetGroupCount()));
}

int CGroupBar::HeaderHeight() const
{
    return std::max(NAVBAR_HEADER_HEIGHT, QFontMetrics(m_titleFont).height() + 4);
}

QPixmap CGroupBar::loadPicture(const CNavItem& item)
{
    QPixmap picture;
    if (!item.imageFile.isEmpty())
        picture = LoadPictureFile(item.imageFile);
    if (picture.isNull() && item.imageResource != 0)
        picture = LoadBitmapResource(item.imageResource);
    if (!picture.isNull() &&
        (picture.height() > NAVBAR_PICTURE_MAX || picture.width() > kPictureMaxWidth))
        picture = picture.scaled(QSize(kPictureMaxWidth, NAVBAR_PICTURE_MAX), Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    return picture;
}

int CGroupBar::AddGroup(int position, const QString& title, DWORD type, BOOL redraw)
{
    const int count = GetGroupCount();
    const int index = position < 0 || position > count ? count : position;
    Group group;
    group.title = title;
    group.type = type;
    m_groups.insert(m_groups.begin() + index, std::move(group));
    if (m_editedGroup >= index)
        ++m_editedGroup;
    if (m_open < 0) {
        m_open = index;
        fillList();
    } else if (m_open >= index) {
        ++m_open;
    }
    layoutChildren();
    if (redraw)
        update();
    return index;
}

int CGroupBar::AddItem(int group, int position, const CNavItem& item)
{
    if (group < 0 || group >= GetGroupCount())
        return -1;
    Group& target = m_groups[static_cast<size_t>(group)];
    const int count = static_cast<int>(target.items.size());
    const int index = position < 0 || position > count ? count : position;
    target.items.insert(target.items.begin() + index, item);
    target.pictures.insert(target.pictures.begin() + index, loadPicture(item));
    if (group == m_open) {
        int selected = m_list->GetSelected();
        if (selected >= index)
            ++selected;
        fillList();
        m_list->SetSelected(selected);
    }
    return index;
}

BOOL CGroupBar::RemoveItem(int group, int position)
{
    if (position < 0 || position >= GetItemCount(group))
        return 0;
    Group& target = m_groups[static_cast<size_t>(group)];
    target.items.erase(target.items.begin() + position);
    target.pictures.erase(target.pictures.begin() + position);
    if (group == m_open) {
        int selected = m_list->GetSelected();
        if (selected == position)
            selected = -1;
        else if (selected > position)
            --selected;
        fillList();
        m_list->SetSelected(selected);
    }
    return 1;
}

BOOL CGroupBar::SetItem(int group, int position, const CNavItem& item)
{
    if (position < 0 || position >= GetItemCount(group))
        return 0;
    Group& target = m_groups[static_cast<size_t>(group)];
    target.items[static_cast<size_t>(position)] = item;
    target.pictures[static_cast<size_t>(position)] = loadPicture(item);
    if (group == m_open) {
        const int selected = m_list->GetSelected();
        fillList();
        m_list->SetSelected(selected);
    }
    return 1;
}

BOOL CGroupBar::RemoveGroup(int group)
{
    if (group < 0 || group >= GetGroupCount())
        return 0;
    if (m_slide)
        m_slide->setCurrentTime(m_slide->duration()); // ends the slide now
    if (m_editedGroup == group)
        finishEditing(false);
    else if (m_editedGroup > group)
        --m_editedGroup;
    m_groups.erase(m_groups.begin() + group);
    const int count = GetGroupCount();
    if (m_open == group) {
        // The group that takes the place of the removed one opens (the one before it when
        // the last group went).
        m_open = count == 0 ? -1 : std::min(group, count - 1);
        fillList();
    } else if (m_open > group) {
        --m_open;
    }
    layoutChildren();
    update();
    return 1;
}

void CGroupBar::RemoveAll()
{
    if (m_slide)
        m_slide->stop();
    m_slideFrom = m_slideTo = -1;
    finishEditing(false);
    m_groups.clear();
    m_open = -1;
    fillList();
    layoutChildren();
    update();
}

int CGroupBar::GetItemCount(int group) const
{
    if (group < 0 || group >= GetGroupCount())
        return 0;
    return static_cast<int>(m_groups[static_cast<size_t>(group)].items.size());
}

QString CGroupBar::GetGroupTitle(int group) const
{
    if (group < 0 || group >= GetGroupCount())
        return QString();
    return m_groups[static_cast<size_t>(group)].title;
}

BOOL CGroupBar::SetGroupTitle(int group, const QString& title)
{
    if (group < 0 || group >= GetGroupCount())
        return 0;
    m_groups[static_cast<size_t>(group)].title = title;
    update();
    return 1;
}

DWORD CGroupBar::GetGroupType(int group) const
{
    if (group < 0 || group >= GetGroupCount())
        return 0;
    return m_groups[static_cast<size_t>(group)].type;
}

const CNavItem* CGroupBar::GetItem(int group, int position) const
{
    if (position < 0 || position >= GetItemCount(group))
        return nullptr;
    return &m_groups[static_cast<size_t>(group)].items[static_cast<size_t>(position)];
}

DWORD CGroupBar::GetItemValue(int group, int position) const
{
    const CNavItem* item = GetItem(group, position);
    return item ? item->value : 0;
}

QString CGroupBar::GetItemText(int group, int position) const
{
    const CNavItem* item = GetItem(group, position);
    return item ? item->text : QString();
}

void CGroupBar::OpenGroup(int group)
{
    if (m_slide)
        m_slide->stop();
    m_slideFrom = m_slideTo = -1;
    m_open = group >= 0 && group < GetGroupCount() ? group : -1;
    fillList();
    layoutChildren();
    update();
}

bool CGroupBar::IsSliding() const
{
    return m_slide && m_slide->state() == QAbstractAnimation::Running;
}

void CGroupBar::SlideOpenGroup(int group)
{
    if (group < 0 || group >= GetGroupCount() || group == m_open)
        return;
    if (IsSliding())
        m_slide->setCurrentTime(m_slide->duration()); // the running slide ends at once
    const int from = m_open;
    int distance = 0;
    for (int i = 0; i < GetGroupCount(); ++i)
        distance = std::max(distance, std::abs(headerTop(i, group) - headerTop(i, from)));
    if (distance == 0 || !isVisible()) {
        OpenGroup(group);
        return;
    }
    finishEditing(true);
    m_slideFrom = from;
    m_slideTo = group;
    m_slideDistance = distance;
    m_slideDone = 0;
    m_list->hide();
    auto* slide = new QVariantAnimation(this);
    slide->setStartValue(0);
    slide->setEndValue(distance);
    slide->setDuration(
        std::clamp(distance / NAVBAR_SLIDE_STEP * kSlideStepMs, kSlideShortest, kSlideLongest));
    connect(slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        // The headers move in whole steps.
        const int done = value.toInt() / NAVBAR_SLIDE_STEP * NAVBAR_SLIDE_STEP;
        if (done != m_slideDone) {
            m_slideDone = done;
            update();
        }
    });
    connect(slide, &QVariantAnimation::finished, this, [this, group] {
        m_slideFrom = m_slideTo = -1;
        m_open = group;
        fillList();
        layoutChildren();
        update();
    });
    m_slide = slide;
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

int CGroupBar::GetSelectedItem() const
{
    return m_open >= 0 ? m_list->GetSelected() : -1;
}

void CGroupBar::SelectItem(int position)
{
    m_list->SetSelected(position);
    if (position >= 0)
        m_list->EnsureVisible(position);
}

void CGroupBar::SetColors(const QColor& back, const QColor& text)
{
    m_list->SetColors(back, text);
    update();
}

int CGroupBar::headerTop(int group, int open) const
{
    const int h = HeaderHeight();
    if (open < 0 || group <= open)
        return group * h;
    // Stacked from the bottom, but never above its place in a stack from the top.
    return std::max(height() - (GetGroupCount() - group) * h, group * h);
}

QRect CGroupBar::HeaderRect(int group) const
{
    if (group < 0 || group >= GetGroupCount())
        return QRect();
    int top = headerTop(group, m_open);
    if (m_slideTo >= 0) {
        const int from = headerTop(group, m_slideFrom);
        const int to = headerTop(group, m_slideTo);
        top = from + (to > from ? 1 : -1) * std::min(m_slideDone, std::abs(to - from));
    }
    return QRect(0, top, width(), HeaderHeight());
}

QRect CGroupBar::listRect(int open) const
{
    if (open < 0 || open >= GetGroupCount())
        return QRect();
    const int top = headerTop(open, open) + HeaderHeight();
    const int bottom = open + 1 < GetGroupCount() ? headerTop(open + 1, open) : height();
    return QRect(0, top, width(), std::max(0, bottom - top));
}

int CGroupBar::GroupHeaderAt(const QPoint& pos) const
{
    for (int group = 0; group < GetGroupCount(); ++group) {
        if (HeaderRect(group).contains(pos))
            return group;
    }
    return -1;
}

int CGroupBar::ItemAt(const QPoint& pos) const
{
    if (m_open < 0 || !m_list->isVisible() || !m_list->geometry().contains(pos))
        return -1;
    return m_list->RowAt(m_list->viewport()->mapFrom(this, pos));
}

void CGroupBar::fillList()
{
    std::vector<CNavItemList::Row> rows;
    if (m_open >= 0 && m_open < GetGroupCount()) {
        const Group& group = m_groups[static_cast<size_t>(m_open)];
        for (size_t i = 0; i < group.items.size(); ++i)
            rows.push_back({group.items[i].text, group.pictures[i], group.items[i].viewFlag != 0});
    }
    m_list->SetRows(std::move(rows));
}

void CGroupBar::layoutChildren()
{
    const QRect rect = listRect(m_open);
    if (rect.isEmpty() || m_slideTo >= 0) {
        m_list->hide();
    } else {
        m_list->setGeometry(rect);
        m_list->show();
    }
    if (m_editor && m_editedGroup >= 0)
        m_editor->setGeometry(HeaderRect(m_editedGroup));
}

void CGroupBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CGroupBar::drawHeader(QPainter& painter, const QRect& rect, const QString& title) const
{
    const QPalette& colours = palette();
    painter.fillRect(rect, colours.color(QPalette::Button));
    drawEdge(painter, rect.adjusted(0, 0, -1, -1), colours.color(QPalette::Light),
             colours.color(QPalette::Dark), 1);
    painter.setFont(m_titleFont);
    painter.setPen(colours.color(QPalette::ButtonText));
    const QRect textRect = rect.adjusted(4, 0, -4, 0);
    const QString shown =
        QFontMetrics(m_titleFont).elidedText(title, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

void CGroupBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (m_slideTo >= 0) {
        // While the headers slide, the space they uncover is the list's.
        painter.fillRect(rect(), m_list->BackColor());
    }
    for (int group = 0; group < GetGroupCount(); ++group)
        drawHeader(painter, HeaderRect(group), GetGroupTitle(group));
}

void CGroupBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int group = GroupHeaderAt(event->position().toPoint());
        if (group >= 0)
            SlideOpenGroup(group);
    }
    // Clicks on the bar's own background do nothing.
}

void CGroupBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit groupContextMenu(GroupHeaderAt(event->position().toPoint()),
                              event->globalPosition().toPoint());
}

void CGroupBar::EditTitle(int group)
{
    if (group < 0 || group >= GetGroupCount())
        return;
    finishEditing(true);
    if (!m_editor) {
        m_editor = new QLineEdit(this);
        m_editor->setObjectName(QStringLiteral("GroupTitleEditor"));
        m_editor->setMaxLength(NAVBAR_TITLE_MAX);
        m_editor->setFont(m_titleFont);
        m_editor->installEventFilter(this);
        connect(m_editor, &QLineEdit::returnPressed, this, [this] { finishEditing(true); });
    }
    m_editedGroup = group;
    m_editor->setText(GetGroupTitle(group));
    m_editor->setGeometry(HeaderRect(group));
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
}

void CGroupBar::CommitTitleEdit()
{
    finishEditing(true);
}

void CGroupBar::finishEditing(bool keep)
{
    if (m_editedGroup < 0 || !m_editor)
        return;
    // The editing ends before anyone hears of it, so that a message box shown meanwhile
    // (which takes the focus) does not end it twice.
    const int group = m_editedGroup;
    m_editedGroup = -1;
    const QString text = m_editor->text();
    m_editor->hide();
    update();
    if (keep)
        emit titleEdited(group, text);
}

bool CGroupBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        if (event->type() == QEvent::FocusOut) {
            finishEditing(true);
        } else if (event->type() == QEvent::KeyPress &&
                   static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            finishEditing(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
