#include "src/stories/headlinemodel.h"

#include "src/stories/storyids.h"
#include "vantrel/chandir.h"

#include <QHash>
#include <QPalette>
#include <algorithm>

int HeadlineImageIndex(uint32_t bundletType, bool hasSummary, bool local, bool kept, bool isSigned)
{
    int base = -1;
    if (bundletType & VTBUNDLET_NEWS)
        base = 4 + (hasSummary ? 1 : 0) + (local ? 2 : 0);
    else if (bundletType & VTBUNDLET_FILE)
        base = 3;
    else if (bundletType & VTBUNDLET_VIDEO)
        base = 0;
    else if (bundletType & VTBUNDLET_PICTURE)
        base = 1;
    else if (bundletType & VTBUNDLET_AUDIO)
        base = 2;
    if (base < 0)
        return -1;
    return base + (kept ? 8 : 0) + (isSigned ? 16 : 0);
}

void HeadlineRowData::clear()
{
    resize(0);
}

void HeadlineRowData::reserve(size_t n)
{
    headline.reserve(n);
    headlineKey.reserve(n);
    channelName.reserve(n);
    subChannel.reserve(n);
    time.reserve(n);
    unread.reserve(n);
    alerted.reserve(n);
    image.reserve(n);
    channelId.reserve(n);
    storyNumber.reserve(n);
    parsed.reserve(n);
}

void HeadlineRowData::resize(size_t n)
{
    for (auto* given : {&storyId, &timeText}) {
        for (auto it = given->begin(); it != given->end();)
            it = it->first >= n ? given->erase(it) : std::next(it);
    }
    headline.resize(n);
    headlineKey.resize(n);
    channelName.resize(n);
    subChannel.resize(n);
    time.resize(n);
    unread.resize(n);
    alerted.resize(n);
    image.resize(n);
    channelId.resize(n);
    storyNumber.resize(n);
    parsed.resize(n);
}

CHeadlineModel::CHeadlineModel(QObject* parent) : QAbstractTableModel(parent) {}

int CHeadlineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int CHeadlineModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : HEADLINE_COLUMN_COUNT;
}

QVariant CHeadlineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= HEADLINE_COLUMN_COUNT)
        return {};
    const int item = m_order[static_cast<size_t>(index.row())];
    if (item < 0 || static_cast<size_t>(item) >= m_data.size())
        return {};
    const auto i = static_cast<size_t>(item);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case COLUMN_CONTENT:
            return m_data.headline[i];
        case COLUMN_RECEIVED:
            // Rows of stories keep only the time: the text is made for the rows drawn.
            if (const auto given = m_data.timeText.find(i); given != m_data.timeText.end())
                return given->second;
            return m_data.parsed[i] ? GetStoryTimeText(m_data.time[i]) : QString();
        case COLUMN_CHANNEL:
            return m_data.channelName[i];
        default:
            return m_data.subChannel[i];
        }
    case Qt::DecorationRole:
        if (index.column() == COLUMN_CONTENT && m_data.image[i] >= 0) {
            const QPixmap picture = Image(m_data.image[i]);
            if (!picture.isNull())
                return picture;
        }
        return {};
    case Qt::FontRole:
        return m_data.unread[i] ? m_boldFont : m_normalFont;
    case Qt::ForegroundRole:
        if (m_data.alerted[i])
            return m_alertedColor;
        return {};
    case ItemDataRole:
        return item;
    case StoryIdRole:
        return StoryIdOf(item);
    case UnreadRole:
        return m_data.unread[i] != 0;
    case AlertedRole:
        return m_data.alerted[i] != 0;
    case ImageRole:
        return m_data.image[i];
    default:
        return {};
    }
}

QVariant CHeadlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= HEADLINE_COLUMN_COUNT)
        return {};
    if (role == Qt::DisplayRole)
        return m_titles[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags CHeadlineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CHeadlineModel::SetFonts(const QFont& normal, const QFont& bold)
{
    m_normalFont = normal;
    m_boldFont = bold;
}

void CHeadlineModel::SetAlertedColor(const QColor& color)
{
    m_alertedColor = color;
}

void CHeadlineModel::SetImages(std::vector<QPixmap> images)
{
    m_images = std::move(images);
}

QPixmap CHeadlineModel::Image(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_images.size())
        return QPixmap();
    return m_images[static_cast<size_t>(index)];
}

void CHeadlineModel::SetColumnTitle(int column, const QString& title)
{
    if (column < 0 || column >= HEADLINE_COLUMN_COUNT)
        return;
    m_titles[column] = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CHeadlineModel::BeginFill()
{
    if (!m_filling) {
        beginResetModel();
        m_filling = true;
    }
    m_data.clear();
    m_order.clear();
    m_rowOf.clear();
    m_firstIndex.clear();
    m_firstIndexValid = false;
    forgetRanks();
}

void CHeadlineModel::ReserveRows(size_t extra)
{
    const size_t wanted = m_data.size() + extra;
    if (wanted <= m_order.capacity())
        return;
    // Rows come channel by channel: grow by half again at least, so that adding many channels
    // does not copy every column once per channel.
    const size_t capacity = std::max(wanted, m_order.capacity() + m_order.capacity() / 2);
    m_data.reserve(capacity);
    m_order.reserve(capacity);
}

int CHeadlineModel::AddRow(const QString& headline, const QString& channelName,
                           const QString& subChannel, uint32_t time, const QString& timeText,
                           const QString& storyId, bool unread, bool alerted, int image)
{
    const int item = static_cast<int>(m_data.size());
    uint32_t channel = 0;
    uint32_t number = 0;
    const bool parsed = !storyId.isEmpty() && CService::ParseStoryID(storyId, channel, number);
    pushRow(headline, headline.toCaseFolded(), channelName, subChannel, time, timeText, storyId,
            channel, number, parsed, unread, alerted, image);
    return item;
}

int CHeadlineModel::AddStoryRow(const QString& headline, const QString& headlineKey,
                                const QString& channelName, const QString& subChannel,
                                uint32_t time, uint32_t channelId, uint32_t storyNumber,
                                bool unread, bool alerted, int image)
{
    const int item = static_cast<int>(m_data.size());
    pushRow(headline, headlineKey.isNull() ? headline.toCaseFolded() : headlineKey, channelName,
            subChannel, time, QString(), QString(), channelId, storyNumber, true, unread, alerted,
            image);
    return item;
}

void CHeadlineModel::pushRow(const QString& headline, QString headlineKey,
                             const QString& channelName, const QString& subChannel, uint32_t time,
                             const QString& timeText, const QString& storyId, uint32_t channelId,
                             uint32_t storyNumber, bool parsed, bool unread, bool alerted,
                             int image)
{
    const int item = static_cast<int>(m_data.size());
    m_data.headline.push_back(headline);
    m_data.headlineKey.push_back(std::move(headlineKey));
    m_data.channelName.push_back(channelName);
    m_data.subChannel.push_back(subChannel);
    m_data.time.push_back(time);
    if (!timeText.isNull() && (!parsed || timeText != GetStoryTimeText(time)))
        m_data.timeText.emplace(size_t(item), timeText);
    if (!storyId.isEmpty() && !parsed)
        m_data.storyId.emplace(size_t(item), storyId);
    m_data.unread.push_back(unread ? 1 : 0);
    m_data.alerted.push_back(alerted ? 1 : 0);
    m_data.image.push_back(image);
    m_data.channelId.push_back(parsed ? channelId : 0);
    m_data.storyNumber.push_back(parsed ? storyNumber : 0);
    m_data.parsed.push_back(parsed ? 1 : 0);
    if (m_firstIndexValid && parsed)
        m_firstIndex.emplace(key(channelId, storyNumber), item);
    forgetRanks();
    if (!m_filling) {
        const int row = static_cast<int>(m_order.size());
        beginInsertRows(QModelIndex(), row, row);
        m_order.push_back(item);
        m_rowOf.push_back(row);
        endInsertRows();
    } else {
        m_order.push_back(item);
    }
}

QString CHeadlineModel::StoryIdOf(int itemData) const
{
    if (itemData < 0 || static_cast<size_t>(itemData) >= m_data.size())
        return QString();
    const auto i = static_cast<size_t>(itemData);
    if (m_data.parsed[i])
        return CService::MakeStoryID(m_data.channelId[i], m_data.storyNumber[i]);
    const auto given = m_data.storyId.find(i);
    return given != m_data.storyId.end() ? given->second : QString();
}

void CHeadlineModel::ensureFirstIndex() const
{
    if (m_firstIndexValid)
        return;
    m_firstIndex.clear();
    m_firstIndex.reserve(m_data.size());
    for (size_t i = 0; i < m_data.size(); ++i) {
        if (m_data.parsed[i])
            m_firstIndex.emplace(key(m_data.channelId[i], m_data.storyNumber[i]), int(i));
    }
    m_firstIndexValid = true;
}

void CHeadlineModel::EndFill()
{
    if (!m_filling)
        return;
    rebuildRowIndex();
    m_filling = false;
    endResetModel();
}

void CHeadlineModel::SetPlaceholder(const QString& text)
{
    const bool wasFilling = m_filling;
    if (!wasFilling)
        BeginFill();
    else {
        m_data.clear();
        m_order.clear();
        m_firstIndex.clear();
        m_firstIndexValid = false;
        forgetRanks();
    }
    AddRow(text, QString(), QString(), 0, QString(), QString(), true, false, -1);
    if (!wasFilling)
        EndFill();
    else
        rebuildRowIndex();
}

int CHeadlineModel::ItemDataOfRow(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_order.size())
        return -1;
    return m_order[static_cast<size_t>(row)];
}

int CHeadlineModel::RowOfItemData(int itemData) const
{
    if (itemData < 0 || static_cast<size_t>(itemData) >= m_rowOf.size())
        return -1;
    return m_rowOf[static_cast<size_t>(itemData)];
}

bool CHeadlineModel::IsStoryRow(int row) const
{
    const int item = ItemDataOfRow(row);
    return item >= 0 && static_cast<size_t>(item) < m_data.size() &&
           (m_data.parsed[static_cast<size_t>(item)] ||
            m_data.storyId.count(static_cast<size_t>(item)) > 0);
}

int CHeadlineModel::FindItemData(uint32_t channelId, uint32_t storyNumber, bool listedOnly) const
{
    ensureFirstIndex();
    const auto found = m_firstIndex.find(key(channelId, storyNumber));
    if (found == m_firstIndex.end())
        return -1;
    const int first = found->second;
    if (!listedOnly || RowOfItemData(first) >= 0)
        return first;
    // The same story listed twice (a channel named twice): look further.
    for (size_t i = static_cast<size_t>(first) + 1; i < m_data.size(); ++i) {
        if (m_data.parsed[i] && m_data.channelId[i] == channelId &&
            m_data.storyNumber[i] == storyNumber && RowOfItemData(static_cast<int>(i)) >= 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool CHeadlineModel::RemoveItemRow(int itemData)
{
    const int row = RowOfItemData(itemData);
    if (row < 0)
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_order.erase(m_order.begin() + row);
    m_rowOf[static_cast<size_t>(itemData)] = -1;
    for (size_t r = static_cast<size_t>(row); r < m_order.size(); ++r)
        m_rowOf[static_cast<size_t>(m_order[r])] = static_cast<int>(r);
    endRemoveRows();
    return true;
}

void CHeadlineModel::UpdateItem(int itemData, bool unread, int image)
{
    if (itemData < 0 || static_cast<size_t>(itemData) >= m_data.size())
        return;
    const auto i = static_cast<size_t>(itemData);
    m_data.unread[i] = unread ? 1 : 0;
    const int row = RowOfItemData(itemData);
    if (row < 0)
        return;
    m_data.image[i] = image;
    emit dataChanged(index(row, 0), index(row, HEADLINE_COLUMN_COUNT - 1));
}

void CHeadlineModel::SortRows(int column, bool ascending)
{
    if (column < 0 || column >= HEADLINE_COLUMN_COUNT || m_order.size() < 2)
        return;
    if (!m_filling)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = m_filling ? QModelIndexList() : persistentIndexList();
    std::vector<std::pair<int, int>> kept; // item data, column
    kept.reserve(static_cast<size_t>(persistent.size()));
    for (const QModelIndex& index : persistent)
        kept.emplace_back(ItemDataOfRow(index.row()), index.column());

    const HeadlineRowData& data = m_data;
    if (column == COLUMN_RECEIVED) {
        // The times next to the rows, so that comparing reads one array in order.
        std::vector<std::pair<uint32_t, int>> keyed(m_order.size());
        for (size_t r = 0; r < m_order.size(); ++r)
            keyed[r] = {data.time[static_cast<size_t>(m_order[r])], m_order[r]};
        if (ascending)
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        else
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t r = 0; r < keyed.size(); ++r)
            m_order[r] = keyed[r].second;
    } else {
        // Text columns sort by the rank of each entry's case-folded text, made once per fill;
        // a sort is then a counting sort that keeps rows of equal texts in their order.
        const std::vector<int>& rank = rankOf(column);
        int ranks = 0;
        for (int item : m_order)
            ranks = std::max(ranks, rank[static_cast<size_t>(item)] + 1);
        std::vector<int> start(static_cast<size_t>(ranks) + 1, 0);
        for (int item : m_order) {
            const int r = rank[static_cast<size_t>(item)];
            ++start[static_cast<size_t>(ascending ? r : ranks - 1 - r) + 1];
        }
        for (size_t r = 1; r < start.size(); ++r)
            start[r] += start[r - 1];
        std::vector<int> sorted(m_order.size());
        for (int item : m_order) {
            const int r = rank[static_cast<size_t>(item)];
            sorted[static_cast<size_t>(
                start[static_cast<size_t>(ascending ? r : ranks - 1 - r)]++)] = item;
        }
        m_order.swap(sorted);
    }
    rebuildRowIndex();

    if (!m_filling) {
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const auto& [item, col] : kept) {
            const int row = RowOfItemData(item);
            moved.append(row >= 0 ? index(row, col) : QModelIndex());
        }
        changePersistentIndexList(persistent, moved);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

void CHeadlineModel::rebuildRowIndex()
{
    m_rowOf.assign(m_data.size(), -1);
    for (size_t r = 0; r < m_order.size(); ++r)
        m_rowOf[static_cast<size_t>(m_order[r])] = static_cast<int>(r);
}

void CHeadlineModel::forgetRanks()
{
    for (auto& rank : m_rank)
        rank.clear();
}

const std::vector<int>& CHeadlineModel::rankOf(int column)
{
    std::vector<int>& rank = m_rank[column];
    if (rank.size() == m_data.size())
        return rank;
    const size_t n = m_data.size();
    rank.assign(n, 0);
    if (column == COLUMN_CONTENT) {
        // Every headline is its own text: sort the entries by their folded headlines once.
        struct KeyRef {
            QStringView text;
            int item;
        };
        std::vector<KeyRef> refs(n);
        for (size_t i = 0; i < n; ++i)
            refs[i] = {QStringView(m_data.headlineKey[i]), static_cast<int>(i)};
        std::sort(refs.begin(), refs.end(), [](const KeyRef& a, const KeyRef& b) {
            return a.text.compare(b.text, Qt::CaseSensitive) < 0;
        });
        int r = 0;
        for (size_t i = 0; i < n; ++i) {
            if (i > 0 && refs[i].text.compare(refs[i - 1].text, Qt::CaseSensitive) != 0)
                ++r;
            rank[static_cast<size_t>(refs[i].item)] = r;
        }
        return rank;
    }
    // Channel and subchannel names: few distinct texts, mostly one shared text per name, so
    // each distinct text is folded once.
    const std::vector<QString>& texts =
        column == COLUMN_CHANNEL ? m_data.channelName : m_data.subChannel;
    QHash<QString, int> distinct; // folded text -> index in `folded`
    std::vector<QString> folded;
    std::vector<int> which(n);
    // Texts already seen, by where their characters are: a shared text is looked at once.
    std::unordered_map<const QChar*, std::pair<qsizetype, int>> seen;
    for (size_t i = 0; i < n; ++i) {
        const QString& text = texts[i];
        const auto known = seen.find(text.constData());
        if (known != seen.end() && known->second.first == text.size()) {
            which[i] = known->second.second;
            continue;
        }
        const QString key = text.toCaseFolded();
        auto found = distinct.constFind(key);
        if (found == distinct.constEnd()) {
            found = distinct.insert(key, static_cast<int>(folded.size()));
            folded.push_back(key);
        }
        which[i] = found.value();
        if (!text.isEmpty())
            seen[text.constData()] = {text.size(), found.value()};
    }
    std::vector<int> byText(folded.size());
    for (size_t i = 0; i < byText.size(); ++i)
        byText[i] = static_cast<int>(i);
    std::sort(byText.begin(), byText.end(), [&](int a, int b) {
        return QString::compare(folded[static_cast<size_t>(a)], folded[static_cast<size_t>(b)],
                                Qt::CaseSensitive) < 0;
    });
    std::vector<int> rankOfText(folded.size());
    for (size_t i = 0; i < byText.size(); ++i)
        rankOfText[static_cast<size_t>(byText[i])] = static_cast<int>(i);
    for (size_t i = 0; i < n; ++i)
        rank[i] = rankOfText[static_cast<size_t>(which[i])];
    return rank;
}
