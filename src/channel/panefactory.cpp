#include "src/channel/panefactory.h"

#include "src/browser/browserview.h"
#include "src/channel/channeldoc.h"
#include "src/stories/headlineview.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QFont>
#include <QLabel>
#include <QListWidget>

namespace
{
std::function<CView*()>& headlineFactory()
{
    static std::function<CView*()> factory;
    return factory;
}
std::function<CView*()>& browserFactory()
{
    static std::function<CView*()> factory;
    return factory;
}
} // namespace

CView* CreateHeadlinePane()
{
    if (headlineFactory())
        return headlineFactory()();
    return new CHeadlineView;
}

CView* CreateBrowserPane()
{
    if (browserFactory())
        return browserFactory()();
    return new CBrowserView;
}

void SetPaneFactoriesForTesting(std::function<CView*()> headline, std::function<CView*()> browser)
{
    headlineFactory() = std::move(headline);
    browserFactory() = std::move(browser);
}

bool HeadlinePaneHasListedStories(CView* pane)
{
    if (auto* headlines = dynamic_cast<CHeadlineView*>(pane))
        return headlines->HasListedStories() != 0;
    auto* list = dynamic_cast<CHeadlinePlaceholderView*>(pane);
    return list && list->HasListedStories();
}

void HeadlinePaneMarkAllListedRead(CView* pane)
{
    if (auto* headlines = dynamic_cast<CHeadlineView*>(pane))
        headlines->MarkAllListedRead();
    else if (auto* list = dynamic_cast<CHeadlinePlaceholderView*>(pane))
        list->MarkAllListedRead();
}

// Placeholders ---------------------------------------------------------------------------

CRecordingPlaceholderView::CRecordingPlaceholderView(const QString& className, QWidget* parent)
    : CView(className, parent)
{
}

void CRecordingPlaceholderView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    RecordedHint record;
    record.code = hint;
    if (const auto* update = dynamic_cast<const CUpdateHint*>(hintObject)) {
        record.hasObject = true;
        record.number = update->m_number;
        record.array = update->m_array;
        record.text = update->m_text;
    }
    m_hints.push_back(record);
    Show();
}

int CRecordingPlaceholderView::hintCount(LPARAM code) const
{
    int count = 0;
    for (const RecordedHint& hint : m_hints)
        count += hint.code == code ? 1 : 0;
    return count;
}

CHeadlinePlaceholderView::CHeadlinePlaceholderView(QWidget* parent)
    : CRecordingPlaceholderView(QStringLiteral("CHeadlineView"), parent),
      m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("HeadlinePane"));
    m_list->setGeometry(rect());
}

void CHeadlinePlaceholderView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    m_list->setGeometry(rect());
}

void CHeadlinePlaceholderView::Show()
{
    m_list->clear();
    m_stories.clear();
    auto* doc = qobject_cast<CChannelDoc*>(GetDocument());
    if (!doc)
        return;
    CServices* services = GetCServices();
    if (!services)
        return;
    for (uint32_t id : doc->GetChannelIds()) {
        CService* channel = services->GetServiceByID(id);
        if (!channel)
            continue;
        for (int i = 0; i < channel->GetNoStories(); ++i) {
            auto* row = new QListWidgetItem(channel->GetStoryHeadline(i), m_list);
            uint32_t read = 0;
            channel->GetStoryAttribute(i, QStringLiteral("Read"), read);
            QFont font = row->font();
            font.setBold(read == 0);
            row->setFont(font);
            uint32_t channelId = 0;
            uint32_t number = 0;
            if (CService::ParseStoryID(channel->GetStoryID(i), channelId, number))
                m_stories.emplace_back(channelId, number);
        }
    }
    ReleaseCServices();
}

bool CHeadlinePlaceholderView::HasListedStories() const
{
    return !m_stories.empty();
}

void CHeadlinePlaceholderView::MarkAllListedRead()
{
    CStoryBucket bucket;
    for (const auto& story : m_stories)
        bucket.AddStory(story.first, story.second);
    for (int i = 0; i < bucket.GetNumStoryLists(); ++i) {
        uint32_t channelId = 0;
        DATA_LIST stories;
        if (bucket.GetStoryList(i, channelId, stories))
            VTMarkStoriesRead(channelId, stories, 1);
    }
}

CBrowserPlaceholderView::CBrowserPlaceholderView(QWidget* parent)
    : CRecordingPlaceholderView(QStringLiteral("CBrowserView"), parent), m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("BrowserPane"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setGeometry(rect());
}

void CBrowserPlaceholderView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    m_label->setGeometry(rect());
}

void CBrowserPlaceholderView::Show()
{
    const RecordedHint& last = hints().back();
    if (last.code == HINT_SHOW_URL) {
        m_url = last.text;
        m_label->setText(m_url);
    }
}
