#include "src/search/searchresultsview.h"

#include "src/platform/resources.h"
#include "src/search/searchdoc.h"
#include "src/search/searchids.h"
#include "src/shared/updatehint.h"
#include "src/stories/storyids.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QHeaderView>
#include <unordered_set>

CSearchResultsView::CSearchResultsView(QWidget* parent) : CHeadlineView(parent)
{
    setObjectName(QStringLiteral("SearchResultsView"));
    list()->setObjectName(QStringLiteral("SearchResults"));
    list()->setAccessibleName(QStringLiteral("SearchResults"));
}

CSearchDoc* CSearchResultsView::GetSearchDoc() const
{
    return qobject_cast<CSearchDoc*>(GetDocument());
}

void CSearchResultsView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    if (!IsCreated() && !Create())
        return;
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    switch (hint) {
    case HINT_SEARCH_INITIAL_UPDATE:
    case HINT_SEARCH_QUERY_CHANGED:
        RefreshList();
        break;
    case HINT_SEARCH_STORIES_DELETED:
        if (update && update->m_number != 0)
            RemoveStories(update->m_number, update->m_array);
        break;
    case HINT_SEARCH_STORIES_ATTRIBUTE_CHANGED:
        if (update && update->m_number != 0)
            UpdateStories(update->m_number, update->m_array);
        break;
    default:
        break;
    }
}

void CSearchResultsView::RefreshList()
{
    if (!IsCreated() && !Create())
        return;
    CHeadlineModel* rows = model();
    rows->BeginFill();
    const CSearchDoc* doc = GetSearchDoc();
    if (!doc || doc->m_searchText.isEmpty()) {
        rows->EndFill();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    repaint();
    list()->setUpdatesEnabled(false);

    // Each channel is searched once, in the document's order.
    std::vector<uint32_t> channels;
    std::unordered_set<uint32_t> seen;
    for (uint32_t id : doc->m_channels)
        if (seen.insert(id).second)
            channels.push_back(id);
    // The engine searches without holding the directory; the rows are read with it held.
    FoundStories found;
    VTFindStories(channels, doc->m_searchText, doc->m_titleOnly == 1 ? 1 : 0, found);
    if (CServices* services = GetCServices()) {
        size_t total = 0;
        for (const auto& entry : found)
            total += entry.second.size();
        rows->ReserveRows(total);
        for (const auto& [id, numbers] : found)
            if (CService* channel = services->GetServiceByID(id))
                AddServiceMatches(channel, numbers);
        ReleaseCServices();
    }
    SortItems();
    if (rows->rowCount() == 0)
        rows->SetPlaceholder(
            LoadString(IDS_NO_ITEMS_CONTAINING).replace(QLatin1String("%s"), doc->m_searchText));
    rows->EndFill();

    list()->setUpdatesEnabled(!IsRedrawSuspended());
    repaint();
    QApplication::restoreOverrideCursor();
}

void CSearchResultsView::AddServiceMatches(CService* channel, const std::vector<uint32_t>& numbers)
{
    if (!channel)
        return;
    QString channelName;
    uint32_t channelId = 0;
    channel->GetDisplayName(channelName);
    channel->GetServiceID(channelId);
    bool subChannels = false;
    StoryListFacts facts;
    for (uint32_t number : numbers) {
        const int index = channel->GetStoryIndex(number);
        if (index < 0 || !channel->GetStoryListFacts(index, facts))
            continue;
        if (!facts.category.isEmpty())
            subChannels = true;
        const int image = HeadlineImageIndex(facts.bundletType, facts.hasSummary, facts.local != 0,
                                             facts.keep != 0, facts.bundletSigned != 0);
        model()->AddStoryRow(facts.headline, facts.headlineKey, channelName, facts.category,
                             facts.time, channelId, facts.number, facts.read == 0,
                             facts.alerted != 0, image);
    }
    // The Subchannel column follows this channel alone: the last channel searched decides.
    ShowColumn(COLUMN_SUBCHANNEL, subChannels);
}

bool CSearchResultsView::DeleteHasWork() const
{
    return !SelectedRows().empty();
}

bool CSearchResultsView::PlayBlocked() const
{
    int playing = 0;
    return VTIsAnimationPlaying(playing) && playing != 0;
}

bool CSearchResultsView::CanSelectAll() const
{
    return model()->rowCount() > 0;
}
