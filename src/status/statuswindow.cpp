#include "src/status/statuswindow.h"

#include "src/platform/resources.h"

#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace
{

// Heights the rows start with: the header strip and the list.
constexpr int kHeaderHeight = 55;
constexpr int kListHeight = 100;
// The list's height when the window opens in a window of its own (not maximised).
constexpr int kOpeningListHeight = 320;
// Light grey behind the list.
constexpr int kBackgroundGrey = 192;

struct Column {
    const char* title;
    int width;
};
constexpr Column kColumns[] = {
    {"Channel", 200},
    {"Status", 150},
    {"Last Updated", 200},
    {"Next Update", 200},
};

} // namespace

CStatusDoc::CStatusDoc()
{
    setObjectName(QStringLiteral("StatusDoc"));
    SetTitle(QStringLiteral("Channel Status"));
}

CStatusFrame::CStatusFrame()
    : CHeaderPaneFrame(
          QStringLiteral("CStatusFrame"), [] { return new CStatusListView; }, kHeaderHeight,
          kListHeight)
{
    setObjectName(QStringLiteral("StatusFrame"));
}

CStatusList::CStatusList(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("StatusList"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList titles;
    for (const Column& column : kColumns)
        titles << QString::fromLatin1(column.title);
    setHeaderLabels(titles);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < columnCount(); ++i)
        setColumnWidth(i, kColumns[i].width);
}

void CStatusList::paintEvent(QPaintEvent* event)
{
    QTreeWidget::paintEvent(event);
    if (topLevelItemCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QRect room = viewport()->rect().adjusted(12, 12, -12, -12);
    painter.drawText(room, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     LoadString(IDS_STATUS_LIST_EMPTY));
}

CStatusListView::CStatusListView(QWidget* parent)
    : CView(QStringLiteral("CStatusListView"), parent), m_list(new CStatusList(this))
{
    setObjectName(QStringLiteral("StatusListView"));
    m_list->setGeometry(rect());
}

QSize CStatusListView::sizeHint() const
{
    int width = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (const Column& column : kColumns)
        width += column.width;
    return QSize(width, kOpeningListHeight);
}

void CStatusListView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    m_list->resize(event->size());
}

void CStatusListView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kBackgroundGrey, kBackgroundGrey, kBackgroundGrey));
}
