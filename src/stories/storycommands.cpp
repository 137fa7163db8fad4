// The story commands of the headline list: their handlers, enable rules and the list's
// context menu. Every change is asked of the engine; the list waits for its refresh.

#include "src/channel/channeldoc.h"
#include "src/engine/messages.h"
#include "src/framework/cmdtarget.h"
#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "src/shared/ids.h"
#include "src/stories/headlineview.h"
#include "src/stories/storycalls.h"
#include "src/stories/storyids.h"
#include "src/stories/storysummarypopup.h"
#include "vantrel/chandir.h"

#include <QAction>
#include <QMenu>
#include <memory>

void CHeadlineView::RegisterCommands()
{
    onCommand(ID_STORY_MARK_READ, [this] { OnMarkRead(true); });
    onCommand(ID_STORY_MARK_UNREAD, [this] { OnMarkRead(false); });
    onCommand(ID_STORY_DELETE, [this] { OnDeleteStories(); });
    onCommand(ID_STORY_FULL, [this] { OpenSelectedStory(); });
    onCommand(ID_STORY_SUMMARY, [this] { ShowStorySummary(0); });
    onCommand(ID_STORY_KEEP, [this] { OnKeep(); });
    onCommand(ID_STORY_DOWNLOAD, [this] { OnDownload(); });
    onCommand(ID_STORY_PLAY, [this] { OnPlay(false); });
    onCommand(ID_STORY_PLACE_FILES, [this] { OnPlay(true); });
    onCommand(ID_EDIT_SELECT_ALL, [this] { OnSelectAll(); });
    onCommand(ID_STORY_PROPERTIES, [this] { OnProperties(); });

    auto markRule = [this](bool read) {
        return [this, read](CCmdUI* ui) {
            ui->Enable(0);
            const std::vector<int> rows = SelectedRows();
            if (rows.size() >= 2) {
                ui->Enable(1);
            } else if (rows.size() == 1 && m_model->IsStoryRow(rows.front())) {
                const bool unread = SelectedRowUnread();
                ui->Enable(read ? unread : !unread);
            }
        };
    };
    onUpdate(ID_STORY_MARK_READ, markRule(true));
    onUpdate(ID_STORY_MARK_UNREAD, markRule(false));
    onUpdate(ID_STORY_DELETE, [this](CCmdUI* ui) {
        ui->Enable(0);
        if (SelectedRows().size() >= 2) {
            ui->Enable(1);
            return;
        }
        tagStoryCaps caps;
        ui->Enable(SingleStoryCaps(VTCAPS_DELETE, caps) && caps.canDelete != 0);
    });
    auto capsRule = [this](uint32_t request, uint32_t tagStoryCaps::*field) {
        return [this, request, field](CCmdUI* ui) {
            ui->Enable(0);
            tagStoryCaps caps;
            ui->Enable(SingleStoryCaps(request, caps) && caps.*field != 0);
        };
    };
    onUpdate(ID_STORY_FULL, capsRule(VTCAPS_FULL_STORY, &tagStoryCaps::hasFullStory));
    onUpdate(ID_STORY_SUMMARY, capsRule(VTCAPS_SUMMARY, &tagStoryCaps::hasSummary));
    auto playRule = [this, capsRule](uint32_t request, uint32_t tagStoryCaps::*field) {
        return [this, rule = capsRule(request, field)](CCmdUI* ui) {
            if (PlayBlocked())
                ui->Enable(0);
            else
                rule(ui);
        };
    };
    onUpdate(ID_STORY_PLAY, playRule(VTCAPS_PLAY, &tagStoryCaps::canPlay));
    onUpdate(ID_STORY_PLACE_FILES, playRule(VTCAPS_PLACE_FILES, &tagStoryCaps::canPlaceFiles));
    onUpdate(ID_STORY_PROPERTIES, capsRule(VTCAPS_PROPERTIES, &tagStoryCaps::hasProperties));
    onUpdate(ID_STORY_KEEP, [this](CCmdUI* ui) {
        ui->Enable(0);
        ui->SetCheck(0);
        tagStoryCaps caps;
        if (SingleStoryCaps(VTCAPS_KEEP, caps)) {
            ui->Enable(caps.canKeep != 0);
            ui->SetCheck(caps.kept != 0 ? 1 : 0);
        }
    });
    onUpdate(ID_STORY_DOWNLOAD, [this](CCmdUI* ui) {
        ui->Enable(0);
        const std::vector<int> rows = SelectedRows();
        if (rows.size() >= 2) {
            ui->Enable(AnySelectedCanDownload());
            return;
        }
        tagStoryCaps caps;
        ui->Enable(SingleStoryCaps(VTCAPS_DOWNLOAD, caps) && caps.canDownload != 0);
    });
    onUpdate(ID_EDIT_SELECT_ALL, [this](CCmdUI* ui) { ui->Enable(CanSelectAll()); });
}

// ---- selection helpers ------------------------------------------------------------------

void CHeadlineView::CollectRows(const std::vector<int>& rows, CStoryBucket& bucket) const
{
    for (int row : rows) {
        uint32_t channelId = 0;
        uint32_t number = 0;
        if (ParseRow(row, channelId, number))
            bucket.AddStory(channelId, number);
    }
}

bool CHeadlineView::SingleSelectedStory(QString& storyId) const
{
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1)
        return false;
    storyId = RowStoryId(rows.front());
    return !storyId.isEmpty();
}

bool CHeadlineView::SingleStoryCaps(uint32_t request, tagStoryCaps& caps) const
{
    QString storyId;
    if (!SingleSelectedStory(storyId))
        return false;
    caps = tagStoryCaps();
    caps.requestMask = request;
    return GetStoryCaps(storyId, &caps) != 0;
}

bool CHeadlineView::AnySelectedCanDownload() const
{
    for (int row : SelectedRows()) {
        const QString storyId = RowStoryId(row);
        if (storyId.isEmpty())
            continue;
        tagStoryCaps caps;
        caps.requestMask = VTCAPS_DOWNLOAD;
        if (GetStoryCaps(storyId, &caps) && caps.canDownload)
            return true;
    }
    return false;
}

bool CHeadlineView::SelectedRowUnread() const
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return false;
    const int item = m_model->ItemDataOfRow(rows.front());
    return item >= 0 && static_cast<size_t>(item) < m_model->RowData().size() &&
           m_model->RowData().unread[static_cast<size_t>(item)] != 0;
}

bool CHeadlineView::SelectUnreadStory(bool forward, bool fromEdge)
{
    const int count = m_model->rowCount();
    const std::vector<int> selected = SelectedRows();
    int row = forward ? 0 : count - 1;
    if (!fromEdge && !selected.empty())
        row = forward ? selected.back() + 1 : selected.front() - 1;
    const size_t known = m_model->RowData().size();
    for (; row >= 0 && row < count; row += forward ? 1 : -1) {
        const int item = m_model->ItemDataOfRow(row);
        if (item < 0 || static_cast<size_t>(item) >= known ||
            m_model->RowData().unread[static_cast<size_t>(item)] == 0)
            continue;
        HidePopup();
        SelectRows({row});
        m_list->scrollTo(m_model->index(row, 0));
        return true;
    }
    return false;
}

// ---- handlers ----------------------------------------------------------------------------

namespace
{
// Hands every list of the bucket to the call; the number of lists handed over.
int forEachList(const CStoryBucket& bucket,
                const std::function<void(uint32_t, const DATA_LIST&)>& call)
{
    int handed = 0;
    for (int i = 0; i < bucket.GetNumStoryLists(); ++i) {
        uint32_t channelId = 0;
        DATA_LIST stories;
        if (bucket.GetStoryList(i, channelId, stories)) {
            call(channelId, stories);
            ++handed;
        }
    }
    return handed;
}
} // namespace

void CHeadlineView::OnMarkRead(bool read)
{
    CStoryBucket bucket;
    CollectRows(SelectedRows(), bucket);
    StoryCalls& calls = storyCalls();
    forEachList(bucket, [&](uint32_t channelId, const DATA_LIST& stories) {
        calls.markStoriesRead(channelId, stories, read ? 1 : 0);
    });
}

bool CHeadlineView::DeleteHasWork() const
{
    return m_model->rowCount() > 0;
}

bool CHeadlineView::CanSelectAll() const
{
    return HasListedStories() != 0;
}

void CHeadlineView::OnDeleteStories()
{
    if (!DeleteHasWork())
        return;
    if (MessageBox(this, LoadString(IDS_CONFIRM_DELETE), LoadString(IDS_APPLICATION_NAME),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CStoryBucket bucket;
    CollectRows(SelectedRows(), bucket);
    StoryCalls& calls = storyCalls();
    forEachList(bucket, [&](uint32_t channelId, const DATA_LIST& stories) {
        calls.deleteStories(channelId, stories);
    });
    if (IsAlertMode() && calls.broadcastNotification)
        calls.broadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
}

void CHeadlineView::OnKeep()
{
    CServices* services = GetCServices();
    if (!services)
        return;
    StoryCalls& calls = storyCalls();
    for (int row : SelectedRows()) {
        uint32_t channelId = 0;
        uint32_t number = 0;
        uint32_t bundlet = 0;
        if (!ParseRow(row, channelId, number))
            continue;
        const QString storyId = RowStoryId(row);
        if (!services->GetStoryAttribute(storyId, QStringLiteral("BundLet Id"), bundlet))
            continue;
        uint32_t kept = 0;
        services->GetStoryAttribute(storyId, QStringLiteral("Keep"), kept);
        calls.keepStory(channelId, bundlet, number, kept == 0 ? 1 : 0);
    }
    ReleaseCServices();
}

void CHeadlineView::OnDownload()
{
    CServices* services = GetCServices();
    if (!services)
        return;
    StoryCalls& calls = storyCalls();
    for (int row : SelectedRows()) {
        uint32_t channelId = 0;
        uint32_t number = 0;
        if (ParseRow(row, channelId, number))
            calls.downloadStory(channelId, number);
    }
    ReleaseCServices();
}

void CHeadlineView::OnPlay(bool placeFiles)
{
    CServices* services = GetCServices();
    if (!services)
        return;
    StoryCalls& calls = storyCalls();
    const QString bundletName = QStringLiteral("BundLet Id");
    if (!PlaysFirstOnly()) {
        // Every selected story plays (or places its files) as it stands.
        for (int row : SelectedRows()) {
            uint32_t channelId = 0;
            uint32_t number = 0;
            uint32_t bundlet = 0;
            if (!ParseRow(row, channelId, number) ||
                !services->GetStoryAttribute(RowStoryId(row), bundletName, bundlet))
                continue;
            if (placeFiles)
                calls.replicateBundlet(channelId, bundlet);
            else
                calls.playBundlet(channelId, bundlet);
        }
        ReleaseCServices();
        return;
    }
    for (int row : SelectedRows()) {
        uint32_t channelId = 0;
        uint32_t number = 0;
        if (!ParseRow(row, channelId, number))
            continue;
        const CService* channel = services->GetServiceByID(channelId);
        const int index = channel ? channel->GetStoryIndex(number) : -1;
        if (index < 0)
            continue;
        uint32_t playChannel = channelId;
        uint32_t bundlet = 0;
        if (channelId == VT_ALERTS_CHANNEL_ID) {
            // An alert plays the story that raised it.
            uint32_t alertChannel = 0;
            uint32_t alertStory = 0;
            if (!channel->GetStoryAttribute(index, QStringLiteral("Alert Channel Id"),
                                            alertChannel) ||
                !channel->GetStoryAttribute(index, QStringLiteral("Alert Story Id"), alertStory))
                continue;
            const CService* source = services->GetServiceByID(alertChannel);
            const int sourceIndex = source ? source->GetStoryIndex(alertStory) : -1;
            if (sourceIndex < 0 || !source->GetStoryAttribute(sourceIndex, bundletName, bundlet))
                continue;
            playChannel = alertChannel;
        } else if (!channel->GetStoryAttribute(index, bundletName, bundlet)) {
            continue;
        }
        if (placeFiles) {
            calls.replicateBundlet(playChannel, bundlet);
        } else {
            calls.playBundlet(playChannel, bundlet);
            if (channelId == VT_ALERTS_CHANNEL_ID)
                calls.markStoryRead(VT_ALERTS_CHANNEL_ID, number, STORYREAD_QUIET);
        }
        break;
    }
    ReleaseCServices();
}

void CHeadlineView::OnSelectAll()
{
    m_list->selectAll();
}

void CHeadlineView::OnProperties()
{
    CServices* services = GetCServices();
    if (!services)
        return;
    const std::vector<int> rows = SelectedRows();
    uint32_t channelId = 0;
    uint32_t number = 0;
    uint32_t bundlet = 0;
    if (!rows.empty() && ParseRow(rows.front(), channelId, number) &&
        services->GetStoryAttribute(RowStoryId(rows.front()), QStringLiteral("BundLet Id"),
                                    bundlet))
        storyCalls().showBundletProperties(this, channelId, bundlet);
    ReleaseCServices();
}

int CHeadlineView::MarkAllListedRead()
{
    std::vector<int> rows(static_cast<size_t>(m_model->rowCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int>(i);
    CStoryBucket bucket;
    CollectRows(rows, bucket);
    StoryCalls& calls = storyCalls();
    const int handed = forEachList(bucket, [&](uint32_t channelId, const DATA_LIST& stories) {
        calls.markStoriesRead(channelId, stories, 1);
    });
    return handed > 0 ? 1 : 0;
}

int CHeadlineView::HasListedStories() const
{
    const int rows = m_model->rowCount();
    return rows >= 2 || (rows == 1 && m_model->IsStoryRow(0)) ? 1 : 0;
}

// ---- context menu ------------------------------------------------------------------------

bool CHeadlineView::BuildContextMenu(std::vector<MenuEntry>& entries)
{
    entries.clear();
    if (m_model->rowCount() == 1 && !m_model->IsStoryRow(0))
        return false;

    struct State {
        bool enabled = true;
        bool checked = false;
    };
    State play, full, summary, markRead, markUnread, remove, keep, download, properties, place;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        for (State* s : {&play, &full, &summary, &markRead, &markUnread, &remove, &keep, &download,
                         &properties, &place})
            s->enabled = false;
    } else if (rows.size() == 1) {
        tagStoryCaps caps;
        caps.requestMask = VTCAPS_ALL;
        const QString storyId = RowStoryId(rows.front());
        if (!storyId.isEmpty() && GetStoryCaps(storyId, &caps)) {
            play.enabled = caps.canPlay != 0;
            full.enabled = caps.hasFullStory != 0;
            summary.enabled = caps.hasSummary != 0;
            remove.enabled = caps.canDelete != 0;
            keep.enabled = caps.canKeep != 0;
            keep.checked = caps.kept != 0;
            download.enabled = caps.canDownload != 0;
            properties.enabled = caps.hasProperties != 0;
            place.enabled = caps.canPlaceFiles != 0;
            const bool unread = SelectedRowUnread();
            markRead.enabled = unread;
            markUnread.enabled = !unread;
        }
    } else {
        for (State* s : {&play, &full, &summary, &keep, &properties, &place})
            s->enabled = false;
        download.enabled = AnySelectedCanDownload();
    }

    auto add = [&entries](UINT id, UINT textId, const State& state) {
        MenuEntry entry;
        entry.id = id;
        entry.text = LoadString(textId);
        entry.enabled = state.enabled;
        entry.checked = state.checked;
        entries.push_back(entry);
    };
    auto separator = [&entries] { entries.push_back(MenuEntry()); };
    if (place.enabled) {
        add(ID_STORY_PLACE_FILES, IDS_MENU_PLACE_FILES, place);
        separator();
    }
    add(ID_STORY_PLAY, IDS_MENU_PLAY, play);
    add(ID_STORY_FULL, IDS_MENU_FULL_STORY, full);
    add(ID_STORY_SUMMARY, IDS_MENU_SUMMARY, summary);
    separator();
    add(ID_STORY_MARK_READ, IDS_MENU_MARK_READ, markRead);
    add(ID_STORY_MARK_UNREAD, IDS_MENU_MARK_UNREAD, markUnread);
    separator();
    add(ID_STORY_DELETE, IDS_MENU_DELETE, remove);
    add(ID_STORY_KEEP, IDS_MENU_KEEP, keep);
    add(ID_STORY_DOWNLOAD, IDS_MENU_DOWNLOAD, download);
    add(ID_STORY_PROPERTIES, IDS_MENU_PROPERTIES, properties);
    return true;
}

void CHeadlineView::OnContextMenu(const QPoint& globalPos)
{
    HidePopup();
    RepaintMainFrame();
    std::vector<MenuEntry> entries;
    if (!BuildContextMenu(entries))
        return;
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("HeadlineContextMenu"));
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.text);
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
        if (entry.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    QAction* chosen = menu->exec(globalPos);
    if (chosen && chosen->isEnabled())
        DispatchCommand(chosen->data().toUInt());
}
