#include "src/directory/profilerdoc.h"

#include "src/channel/categorytext.h"
#include "src/directory/directoryids.h"
#include "src/engine/messages.h"
#include "src/framework/winapp.h"
#include "src/platform/resources.h"
#include "src/shared/headerview.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QDateTime>
#include <algorithm>
#include <atomic>
#include <numeric>

namespace
{

// Set by the engine callback (any thread), cleared by the directory list's timer.
std::atomic<uint32_t> g_directoryChanged{0};
// How many documents share the one registration of the callback.
int g_registeredDocuments = 0;

std::function<uint32_t()>& timeSource()
{
    static std::function<uint32_t()> source;
    return source;
}

uint32_t currentTime()
{
    if (timeSource())
        return timeSource()();
    return static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch());
}

// The main window of the user-interface thread, as the engine's calls take it.
QWidget* mainWindow()
{
    return AfxGetMainWnd();
}

// The wait cursor for the life of a Load (only where there is a screen to show it on).
class WaitCursor
{
public:
    WaitCursor() : m_shown(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown;
};

} // namespace

// ---- CSiteMain ---------------------------------------------------------------------------

CSiteMain::CSiteMain() : m_displayCategory(DisplayCategoryOf(QString())) {}

CSiteMain::CSiteMain(const VTDirectoryRecord& record)
    : m_subscribed(record.subscribed), m_flags(record.entryFlags),
      m_visibility(record.visibilityFlags), m_entryId(record.entryId),
      m_categories(record.categories), m_displayCategory(DisplayCategoryOf(record.categories)),
      m_description(record.description), m_name(record.name), m_date(record.date)
{
}

QString CSiteMain::DisplayCategoryOf(const QString& categories)
{
    // The ";" that ends a "&slash;" belongs to its name: "Film&slash;TV" shows "Film/TV".
    const QString firstPath = SplitCategoryPaths(categories).value(0);
    const QString first = FromPathForm(firstPath.section(QLatin1Char('/'), 0, 0)).trimmed();
    if (first.isEmpty())
        return LoadString(IDS_MISCELLANEOUS);
    return first;
}

const QString& CSiteMain::GetColumnText(int column) const
{
    switch (column) {
    case 1:
        return m_description;
    case 2:
        return m_displayCategory;
    default:
        return m_name;
    }
}

void CSiteMain::SetNewAt(uint32_t now)
{
    // Unsigned on purpose: an entry dated after now gives a huge difference, so it is not new.
    m_new = m_date > 0 && now - m_date < NEW_ENTRY_SECONDS ? 1 : 0;
}

int CSiteMain::ImageIndex() const
{
    int image = 0;
    if (m_subscribed)
        image += DIRIMG_SUBSCRIBED;
    if ((m_flags & VTDIRENTRY_HOME_SERVER) && !(m_flags & VTDIRENTRY_RESTRICTED))
        image += DIRIMG_HOME_SERVER;
    if (m_new)
        image += DIRIMG_NEW;
    if (m_channelState)
        image += DIRIMG_STATE;
    if (m_flags & VTDIRENTRY_PREMIER)
        image += DIRIMG_PREMIER;
    return image;
}

bool CSiteMain::IsShownWith(DWORD filter) const
{
    if (m_visibility & 0x1)
        return false;
    if (filter == DIRFILTER_SUBSCRIBED && !m_subscribed)
        return false;
    if (filter == DIRFILTER_NEW && !m_new)
        return false;
    return true;
}

int CSiteMain::Subscribe()
{
    return VTSubscribeToChannel(mainWindow(), m_entryId) == 1 ? 1 : 0;
}

int CSiteMain::Unsubscribe()
{
    return VTUnsubscribeToChannel(mainWindow(), m_entryId) == 1 ? 1 : 0;
}

int CSiteMain::SetSubscribed(int state)
{
    const int result = state == 1 ? Subscribe() : Unsubscribe();
    if (result == 1)
        m_subscribed = state == 1 ? 1 : 0;
    if (result != 0)
        RefreshState();
    return 1;
}

int CSiteMain::RefreshState(int* changed)
{
    const DWORD wasSubscribed = m_subscribed;
    const DWORD wasState = m_channelState;
    m_subscribed = 0;
    m_channelState = 0;
    int found = 0;
    if (m_entryId != 0) {
        if (CServices* services = GetCServices()) {
            if (CService* channel = services->GetServiceByDirectoryEntryId(m_entryId)) {
                m_subscribed = 1;
                m_channelState = (channel->GetFlags() & VTCHANNELFLAG_STATE) ? 1 : 0;
                found = 1;
            }
            ReleaseCServices();
        }
    }
    if (changed)
        *changed = (wasSubscribed != m_subscribed || wasState != m_channelState) ? 1 : 0;
    return found;
}

int CSiteMain::ShowSettings()
{
    if (!VTShowChannelSettings(mainWindow(), m_entryId))
        return 0;
    RefreshState();
    return 1;
}

// ---- CProfilerDoc ------------------------------------------------------------------------

CProfilerDoc::CProfilerDoc()
{
    setObjectName(QStringLiteral("DirectoryDoc"));
    if (g_registeredDocuments++ == 0)
        VTRegisterNotificationCallback(VTMASK_DIRECTORY, &CProfilerDoc::NotificationCallback);
    m_callbackRegistered = true;
}

CProfilerDoc::~CProfilerDoc()
{
    if (m_callbackRegistered && --g_registeredDocuments == 0)
        VTUnRegisterNotificationCallback(&CProfilerDoc::NotificationCallback);
}

void CProfilerDoc::NotificationCallback(uint32_t type, const char*, uint32_t, const char*, uint32_t,
                                        uint32_t, uint32_t)
{
    if (type == VTNOTIFY_DIRECTORY_ENTRY_ADDED || type == VTNOTIFY_DIRECTORY_REFRESHED ||
        type == VTNOTIFY_DIRECTORY_ENTRY_CHANGED)
        g_directoryChanged.store(1);
}

bool CProfilerDoc::IsDirectoryChanged()
{
    return g_directoryChanged.load() != 0;
}

bool CProfilerDoc::TakeDirectoryChanged()
{
    return g_directoryChanged.exchange(0) != 0;
}

void CProfilerDoc::SetTimeSource(std::function<uint32_t()> source)
{
    timeSource() = std::move(source);
}

bool CProfilerDoc::IsCallbackRegistered()
{
    return g_registeredDocuments > 0;
}

BOOL CProfilerDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return 0;
    SetTitle(LoadString(IDS_HEADER_DIRECTORY_TITLE));
    Load(0);
    return 1;
}

int CProfilerDoc::Load(int notify)
{
    WaitCursor wait;
    m_loading = true;
    m_entries.clear();
    m_firstById.clear();
    for (auto& ranks : m_sortRanks)
        ranks.clear();

    std::vector<std::unique_ptr<VTDirectoryRecord>> records;
    const int obtained = VTBriskBuildDirectoryEntryList(records) ? 1 : 0;
    if (obtained) {
        const uint32_t now = currentTime();
        m_entries.reserve(records.size());
        for (auto& record : records) {
            auto entry = std::make_unique<CSiteMain>(*record);
            if (record->subscribed)
                entry->RefreshState();
            entry->SetNewAt(now);
            entry->SetPosition(static_cast<int>(m_entries.size()));
            m_entries.push_back(std::move(entry));
            record.reset();
        }
        // The first entry of an id wins: walk back so that earlier places overwrite later ones.
        m_firstById.clear();
        for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i)
            m_firstById.insert(m_entries[static_cast<size_t>(i)]->GetDirectoryEntryId(), i);
    }
    m_category.Build(this);
    if (notify)
        UpdateAllViews(nullptr, CATHINT_RELOAD);
    m_loading = false;
    return obtained;
}

CSiteMain* CProfilerDoc::FindEntry(uint32_t entryId) const
{
    const auto it = m_firstById.constFind(entryId);
    return it == m_firstById.constEnd() ? nullptr : m_entries[static_cast<size_t>(*it)].get();
}

void CProfilerDoc::OnEntryChanged(uint32_t entryId)
{
    if (entryId == 0)
        return;
    CSiteMain* entry = FindEntry(entryId);
    if (!entry)
        return;
    int changed = 0;
    entry->RefreshState(&changed);
    if (changed)
        UpdateAllViews(nullptr, APPHINT_DIRECTORY_CHANGED);
}

int CProfilerDoc::CheckDirectoryChanged()
{
    int any = 0;
    for (const auto& entry : m_entries) {
        int changed = 0;
        entry->RefreshState(&changed);
        any = any || changed;
    }
    return any;
}

const std::vector<int>& CProfilerDoc::GetSortRanks(int column) const
{
    std::vector<int>& ranks = m_sortRanks[std::clamp(column, 0, 2)];
    if (ranks.size() == m_entries.size())
        return ranks;
    // Folded once per entry, so that sorting compares plain texts.
    std::vector<QString> keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        keys.push_back(entry->GetColumnText(column).toCaseFolded());
    std::vector<int> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    });
    ranks.assign(m_entries.size(), 0);
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[static_cast<size_t>(order[i])] != keys[static_cast<size_t>(order[i - 1])])
            ++rank;
        ranks[static_cast<size_t>(order[i])] = rank;
    }
    return ranks;
}

uint32_t CProfilerDoc::GetEntryId(int index) const
{
    return m_entries[static_cast<size_t>(index)]->GetDirectoryEntryId();
}

QString CProfilerDoc::GetEntryCategories(int index) const
{
    return m_entries[static_cast<size_t>(index)]->GetCategories();
}

QString CProfilerDoc::GetEntryName(int index) const
{
    return m_entries[static_cast<size_t>(index)]->GetName();
}
