#include "src/framework/splitter.h"

#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/view.h"

#include <QLayout>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>
#include <algorithm>

namespace
{
constexpr int kMaxTracks = 16;
const char* const kEmptyPaneProperty = "rhEmptyPane";

QWidget* makePlaceholder()
{
    auto* widget = new QWidget;
    widget->setProperty(kEmptyPaneProperty, true);
    return widget;
}

// Where a widget sits: the static splitter that owns it and its cell.
CSplitterWnd* owningSplitter(QWidget* widget, int* row, int* col)
{
    for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* splitter = qobject_cast<CSplitterWnd*>(parent)) {
            if (splitter->IsChildPane(widget, row, col))
                return splitter;
            return nullptr;
        }
    }
    return nullptr;
}
} // namespace

CSplitterWnd::CSplitterWnd(QWidget* parent) : QSplitter(parent)
{
    setChildrenCollapsible(true);
}

CSplitterWnd::~CSplitterWnd() = default;

BOOL CSplitterWnd::CreateStatic(QWidget* parent, int rows, int cols)
{
    if (m_rows != 0 || rows < 1 || cols < 1 || rows > kMaxTracks || cols > kMaxTracks)
        return 0;
    m_rows = rows;
    m_cols = cols;
    m_nested = rows > 1 && cols > 1;
    m_rowTracks.assign(static_cast<size_t>(rows), Track{});
    m_colTracks.assign(static_cast<size_t>(cols), Track{});
    setOrientation(rows > 1 ? Qt::Vertical : Qt::Horizontal);

    if (m_nested) {
        for (int row = 0; row < rows; ++row) {
            auto* rowSplitter = new QSplitter(Qt::Horizontal);
            rowSplitter->setChildrenCollapsible(true);
            rowSplitter->setHandleWidth(handleWidth());
            for (int col = 0; col < cols; ++col)
                rowSplitter->addWidget(makePlaceholder());
            rowSplitter->setStretchFactor(cols - 1, 1);
            addWidget(rowSplitter);
            m_rowSplitters.push_back(rowSplitter);
            connect(rowSplitter, &QSplitter::splitterMoved, this,
                    [this, rowSplitter] { syncColumns(rowSplitter); });
        }
    } else {
        for (int i = 0; i < std::max(rows, cols); ++i)
            addWidget(makePlaceholder());
    }
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, i == count() - 1 ? 1 : 0);
    SetFixedBars(m_fixedBars);
    m_layoutPending = true;

    if (auto* frame = qobject_cast<CMDIChildWnd*>(parent)) {
        frame->SetClientWidget(this);
    } else if (parent) {
        setParent(parent);
        if (QLayout* layout = parent->layout())
            layout->addWidget(this);
        show();
    }
    return 1;
}

BOOL CSplitterWnd::CreateStatic(CSplitterWnd* parent, int parentRow, int parentCol, int rows,
                                int cols)
{
    if (!parent || !parent->validCell(parentRow, parentCol) ||
        parent->GetPane(parentRow, parentCol))
        return 0;
    if (!CreateStatic(static_cast<QWidget*>(nullptr), rows, cols))
        return 0;
    if (!parent->SetPane(parentRow, parentCol, this)) {
        m_rows = m_cols = 0;
        return 0;
    }
    return 1;
}

bool CSplitterWnd::validCell(int row, int col) const
{
    return row >= 0 && col >= 0 && row < m_rows && col < m_cols;
}

QSplitter* CSplitterWnd::cellSplitter(int row, int col, int* index) const
{
    if (m_nested) {
        *index = col;
        return m_rowSplitters[static_cast<size_t>(row)];
    }
    *index = m_rows > 1 ? row : col;
    return const_cast<CSplitterWnd*>(this);
}

QSplitter* CSplitterWnd::rowSplitter(int row) const
{
    return m_nested ? m_rowSplitters[static_cast<size_t>(row)] : nullptr;
}

QWidget* CSplitterWnd::cellWidget(int row, int col) const
{
    if (!validCell(row, col))
        return nullptr;
    int index = 0;
    QSplitter* splitter = cellSplitter(row, col, &index);
    return splitter->widget(index);
}

bool CSplitterWnd::isPlaceholder(const QWidget* widget) const
{
    return widget && widget->property(kEmptyPaneProperty).toBool();
}

QWidget* CSplitterWnd::GetPane(int row, int col) const
{
    QWidget* widget = cellWidget(row, col);
    return isPlaceholder(widget) ? nullptr : widget;
}

bool CSplitterWnd::IsChildPane(const QWidget* widget, int* row, int* col) const
{
    if (!widget)
        return false;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c) {
            if (cellWidget(r, c) == widget) {
                if (row)
                    *row = r;
                if (col)
                    *col = c;
                return true;
            }
        }
    }
    return false;
}

BOOL CSplitterWnd::SetPane(int row, int col, QWidget* widget)
{
    if (!widget || widget == this || !validCell(row, col) || GetPane(row, col))
        return 0;
    // A pane of another static splitter moves: its old cell becomes empty.
    int oldRow = 0;
    int oldCol = 0;
    if (CSplitterWnd* owner = owningSplitter(widget, &oldRow, &oldCol))
        owner->TakePane(oldRow, oldCol);
    int index = 0;
    QSplitter* splitter = cellSplitter(row, col, &index);
    QWidget* placeholder = splitter->replaceWidget(index, widget);
    delete placeholder;
    const bool hidden = m_rowTracks[static_cast<size_t>(row)].hidden ||
                        m_colTracks[static_cast<size_t>(col)].hidden;
    widget->setVisible(!hidden);
    return 1;
}

QWidget* CSplitterWnd::TakePane(int row, int col)
{
    QWidget* widget = GetPane(row, col);
    if (!widget)
        return nullptr;
    int index = 0;
    QSplitter* splitter = cellSplitter(row, col, &index);
    QWidget* placeholder = makePlaceholder();
    splitter->replaceWidget(index, placeholder);
    const bool hidden = m_rowTracks[static_cast<size_t>(row)].hidden ||
                        m_colTracks[static_cast<size_t>(col)].hidden;
    placeholder->setVisible(!hidden);
    widget->hide();
    widget->setParent(nullptr);
    return widget;
}

CView* CSplitterWnd::CreateView(int row, int col, const std::function<CView*()>& viewFactory,
                                const QSize& initialSize, CCreateContext* context)
{
    if (!validCell(row, col) || GetPane(row, col) || !viewFactory)
        return nullptr;
    CView* view = viewFactory();
    if (!view)
        return nullptr;
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(view);
    SetPane(row, col, view);
    if (initialSize.height() > 0)
        m_rowTracks[static_cast<size_t>(row)].ideal = initialSize.height();
    if (initialSize.width() > 0)
        m_colTracks[static_cast<size_t>(col)].ideal = initialSize.width();
    m_layoutPending = true;
    if (isVisible()) {
        // Panes made while the window is open: laid out once the caller is done, unless it
        // lays them out itself first.
        QPointer<CSplitterWnd> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self && self->m_layoutPending)
                    self->RecalcLayout();
            },
            Qt::QueuedConnection);
    }
    return view;
}

void CSplitterWnd::DeleteView(int row, int col)
{
    QWidget* widget = TakePane(row, col);
    if (!widget)
        return;
    if (auto* view = qobject_cast<CView*>(widget))
        if (CDocument* doc = view->GetDocument())
            doc->RemoveView(view);
    delete widget;
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int minimum)
{
    if (row < 0 || row >= m_rows)
        return;
    Track& track = m_rowTracks[static_cast<size_t>(row)];
    track.ideal = std::max(0, ideal);
    track.minimum = std::max(0, minimum);
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int minimum)
{
    if (col < 0 || col >= m_cols)
        return;
    Track& track = m_colTracks[static_cast<size_t>(col)];
    track.ideal = std::max(0, ideal);
    track.minimum = std::max(0, minimum);
}

std::vector<int> CSplitterWnd::currentSizes(bool rows) const
{
    const std::vector<Track>& tracks = rows ? m_rowTracks : m_colTracks;
    std::vector<int> sizes;
    QSplitter* splitter = nullptr;
    if (m_nested)
        splitter = rows ? const_cast<CSplitterWnd*>(this) : m_rowSplitters.front();
    else if ((rows && m_rows > 1) || (!rows && m_rows == 1))
        splitter = const_cast<CSplitterWnd*>(this);
    const bool laidOut = !m_layoutPending && splitter;
    if (laidOut) {
        // Qt lays a splitter out again lazily after a pane was hidden or shown; the sizes
        // asked for now must already be the new ones.
        splitter->refresh();
        const QList<int> list = splitter->sizes();
        sizes.assign(list.begin(), list.end());
        for (size_t i = 0; i < tracks.size() && i < sizes.size(); ++i)
            if (tracks[i].hidden)
                sizes[i] = 0;
    } else {
        for (const Track& track : tracks)
            sizes.push_back(track.hidden ? 0 : (track.ideal < track.minimum ? 0 : track.ideal));
    }
    // A single track along this direction fills the splitter.
    if (!splitter && tracks.size() == 1)
        sizes = {rows ? height() : width()};
    sizes.resize(tracks.size(), 0);
    return sizes;
}

void CSplitterWnd::GetRowInfo(int row, int& current, int& minimum) const
{
    current = 0;
    minimum = 0;
    if (row < 0 || row >= m_rows)
        return;
    current = currentSizes(true)[static_cast<size_t>(row)];
    minimum = m_rowTracks[static_cast<size_t>(row)].minimum;
}

void CSplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const
{
    current = 0;
    minimum = 0;
    if (col < 0 || col >= m_cols)
        return;
    current = currentSizes(false)[static_cast<size_t>(col)];
    minimum = m_colTracks[static_cast<size_t>(col)].minimum;
}

void CSplitterWnd::applySizes(QSplitter* splitter, const std::vector<Track>& tracks, bool vertical)
{
    const int n = static_cast<int>(tracks.size());
    if (n <= 1)
        return;
    int handles = 0;
    int lastShown = -1;
    for (int i = 0; i < n; ++i) {
        if (!tracks[static_cast<size_t>(i)].hidden) {
            if (lastShown >= 0)
                handles += splitter->handleWidth();
            lastShown = i;
        }
    }
    const int total = (vertical ? splitter->height() : splitter->width()) - handles;
    QList<int> sizes;
    int used = 0;
    for (int i = 0; i < n; ++i) {
        const Track& track = tracks[static_cast<size_t>(i)];
        int size = 0;
        if (!track.hidden && i != lastShown)
            size = track.ideal < track.minimum ? 0 : track.ideal;
        sizes.append(size);
        used += size;
    }
    // The last shown row or column takes what is left.
    if (lastShown >= 0)
        sizes[lastShown] = std::max(0, total - used);
    splitter->setSizes(sizes);
}

void CSplitterWnd::RecalcLayout()
{
    if (m_rows == 0)
        return;
    const bool ready = isVisible() && width() > 0 && height() > 0;
    if (!ready) {
        m_layoutPending = true;
        return;
    }
    m_syncing = true;
    if (m_nested) {
        applySizes(this, m_rowTracks, true);
        for (QSplitter* row : m_rowSplitters)
            applySizes(row, m_colTracks, false);
    } else if (m_rows > 1) {
        applySizes(this, m_rowTracks, true);
    } else {
        applySizes(this, m_colTracks, false);
    }
    m_syncing = false;
    m_layoutPending = false;
}

void CSplitterWnd::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (m_layoutPending && isVisible())
        RecalcLayout();
}

void CSplitterWnd::showEvent(QShowEvent* event)
{
    QSplitter::showEvent(event);
    if (m_layoutPending)
        RecalcLayout();
}

void CSplitterWnd::syncColumns(QSplitter* source)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const QList<int> sizes = source->sizes();
    for (QSplitter* row : m_rowSplitters)
        if (row != source)
            row->setSizes(sizes);
    m_syncing = false;
}

void CSplitterWnd::setTrackHidden(bool rows, int index, bool hidden)
{
    std::vector<Track>& tracks = rows ? m_rowTracks : m_colTracks;
    const int count = rows ? m_rows : m_cols;
    if (index < 0 || index >= count)
        return;
    Track& track = tracks[static_cast<size_t>(index)];
    if (track.hidden == hidden)
        return;
    // The sizes as they are now: the one to remember when hiding; when showing, the others'
    // sizes while they still share the room of the hidden one.
    std::vector<int> sizes = currentSizes(rows);
    if (hidden)
        track.savedSize = sizes[static_cast<size_t>(index)];
    track.hidden = hidden;

    const int other = rows ? m_cols : m_rows;
    for (int i = 0; i < other; ++i) {
        const int row = rows ? index : i;
        const int col = rows ? i : index;
        const bool cellHidden = m_rowTracks[static_cast<size_t>(row)].hidden ||
                                m_colTracks[static_cast<size_t>(col)].hidden;
        if (QWidget* widget = cellWidget(row, col))
            widget->setVisible(!cellHidden);
    }
    if (hidden)
        return;

    // Back with its former size: the last other shown row or column makes room, the rest
    // keep the sizes they have.
    int absorber = -1;
    for (int i = count - 1; i >= 0; --i) {
        if (i != index && !tracks[static_cast<size_t>(i)].hidden) {
            absorber = i;
            break;
        }
    }
    sizes[static_cast<size_t>(index)] = track.savedSize;
    if (absorber >= 0) {
        int& room = sizes[static_cast<size_t>(absorber)];
        room = std::max(0, room - track.savedSize - handleWidth());
    }
    for (int i = 0; i < count; ++i) {
        Track& t = tracks[static_cast<size_t>(i)];
        if (!t.hidden)
            t.ideal = sizes[static_cast<size_t>(i)];
    }
    RecalcLayout();
}

void CSplitterWnd::HideRow(int row)
{
    setTrackHidden(true, row, true);
}

void CSplitterWnd::ShowRow(int row)
{
    setTrackHidden(true, row, false);
}

void CSplitterWnd::HideColumn(int col)
{
    setTrackHidden(false, col, true);
}

void CSplitterWnd::ShowColumn(int col)
{
    setTrackHidden(false, col, false);
}

bool CSplitterWnd::IsRowHidden(int row) const
{
    return row >= 0 && row < m_rows && m_rowTracks[static_cast<size_t>(row)].hidden;
}

bool CSplitterWnd::IsColumnHidden(int col) const
{
    return col >= 0 && col < m_cols && m_colTracks[static_cast<size_t>(col)].hidden;
}

QSplitterHandle* CSplitterWnd::createHandle()
{
    QSplitterHandle* handle = QSplitter::createHandle();
    handle->setEnabled(!m_fixedBars);
    if (m_fixedBars)
        handle->setCursor(Qt::ArrowCursor);
    return handle;
}

void CSplitterWnd::SetFixedBars(bool fixed)
{
    m_fixedBars = fixed;
    auto apply = [fixed](QSplitter* splitter) {
        for (int i = 0; i < splitter->count(); ++i) {
            QSplitterHandle* handle = splitter->handle(i);
            if (!handle)
                continue;
            // A disabled handle gets no mouse presses or moves; the arrow cursor says so.
            handle->setEnabled(!fixed);
            if (fixed)
                handle->setCursor(Qt::ArrowCursor);
            else
                handle->unsetCursor();
        }
    };
    apply(this);
    for (QSplitter* row : m_rowSplitters)
        apply(row);
}
