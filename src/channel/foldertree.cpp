#include "src/channel/foldertree.h"

#include "src/channel/categorytext.h"
#include "src/channel/channelids.h"
#include "src/channel/treeitems.h"
#include "src/platform/resources.h"
#include "vantrel/chandir.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace
{

// Holds the shared directory for the length of one operation.
class DirectoryLock
{
public:
    DirectoryLock() : m_services(GetCServices()) {}
    ~DirectoryLock()
    {
        if (m_services)
            ReleaseCServices();
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;
    CServices* get() const { return m_services; }
    CService* channel(uint32_t id) const
    {
        return m_services ? m_services->GetServiceByID(id) : nullptr;
    }

private:
    CServices* m_services;
};

bool PathCovers(const QString& name, const QString& path)
{
    return name == path || name.startsWith(path + QLatin1Char('/'));
}

} // namespace

CFolderTree::CFolderTree(QTreeWidget* tree) : m_tree(tree), m_images(LoadFolderImages()) {}

CImageStrip CFolderTree::LoadFolderImages()
{
    return CImageStrip(LoadBitmapResource(IDB_FOLDER_TREE), 16, QColor(255, 0, 255));
}

void CFolderTree::SetItemImages(QTreeWidgetItem* item, int normal, int selected) const
{
    treeitems::setImages(item, normal, selected, &m_images);
}

bool CFolderTree::IsChannelImage(int image)
{
    return image >= IMG_CHANNEL && image <= IMG_CHANNEL_LAST;
}

FolderItemKind CFolderTree::GetItemKind(const QTreeWidgetItem* item)
{
    const int image = treeitems::image(item);
    if (image == IMG_FOLDER_CLOSED)
        return FolderItemKind::Category;
    if (IsChannelImage(image))
        return FolderItemKind::Channel;
    if (image == IMG_SUBCHANNEL)
        return FolderItemKind::SubChannel;
    if (image == IMG_PLACEHOLDER)
        return FolderItemKind::Placeholder;
    return FolderItemKind::None;
}

QString CFolderTree::GetPlainName(const QTreeWidgetItem* item)
{
    QString label = treeitems::label(item);
    if (treeitems::isBold(item)) {
        const int open = label.lastIndexOf(QLatin1Char('('));
        if (open >= 2)
            label.truncate(open - 1);
    }
    return label;
}

QString CFolderTree::GetPathForm(const QTreeWidgetItem* item)
{
    return ToPathForm(GetPlainName(item));
}

int CFolderTree::ChannelImage(const CService& channel)
{
    int image = IMG_CHANNEL;
    if (!channel.IsEnabled())
        image += 1;
    if (channel.IsFiltered())
        image += 2;
    if (channel.IsSecure())
        image += 4;
    return image;
}

QString CFolderTree::FirstCategory(const CService& channel)
{
    QString text;
    if (!channel.GetCategory(text, 0))
        return QString();
    // A directory that cuts its category text at every ";" also cuts the one that ends a
    // "&slash;": such pieces belong together again.
    for (int index = 1; text.endsWith(QLatin1String("&slash"), Qt::CaseInsensitive); ++index) {
        QString next;
        if (!channel.GetCategory(next, index))
            break;
        text += QLatin1Char(';') + next;
    }
    return text;
}

QString CFolderTree::ChannelLabel(const CService& channel, bool* bold)
{
    QString name;
    channel.GetDisplayName(name);
    const int unread = channel.GetNumUnreadStories();
    if (bold)
        *bold = unread >= 1;
    if (unread >= 1)
        return QStringLiteral("%1 (%2)").arg(name).arg(unread);
    return name;
}

QTreeWidgetItem* CFolderTree::FindChildByName(QTreeWidgetItem* parent, const QString& level) const
{
    QTreeWidgetItem* box = treeitems::container(m_tree, parent);
    if (!box)
        return nullptr;
    // "&SLASH;" and "&slash;" write the same name.
    const QString wanted = ToPathForm(FromPathForm(level));
    for (int i = 0; i < box->childCount(); ++i) {
        QTreeWidgetItem* child = box->child(i);
        const FolderItemKind kind = GetItemKind(child);
        if (kind != FolderItemKind::Category && kind != FolderItemKind::SubChannel)
            continue;
        if (GetPathForm(child) == wanted)
            return child;
    }
    return nullptr;
}

int CFolderTree::GetInsertPosition(QTreeWidgetItem* parent, const QString& label,
                                   bool isCategory) const
{
    QTreeWidgetItem* box = treeitems::container(m_tree, parent);
    if (!box)
        return 0;
    int position = 0;
    for (int i = 0; i < box->childCount(); ++i) {
        QTreeWidgetItem* child = box->child(i);
        const FolderItemKind kind = GetItemKind(child);
        if (!isCategory && kind == FolderItemKind::Category) {
            position = i + 1;
            continue;
        }
        if (isCategory && kind == FolderItemKind::Channel)
            break;
        if (QString::compare(treeitems::label(child), label, Qt::CaseInsensitive) > 0)
            break;
        position = i + 1;
    }
    return position;
}

QTreeWidgetItem* CFolderTree::FindChannelItemIn(QTreeWidgetItem* box, uint32_t channelId) const
{
    for (int i = 0; i < box->childCount(); ++i) {
        QTreeWidgetItem* child = box->child(i);
        if (treeitems::data(child) == channelId)
            return child;
        if (QTreeWidgetItem* hit = FindChannelItemIn(child, channelId))
            return hit;
    }
    return nullptr;
}

QTreeWidgetItem* CFolderTree::FindChannelItem(QTreeWidgetItem* start, uint32_t channelId) const
{
    if (start && treeitems::data(start) == channelId)
        return start;
    QTreeWidgetItem* box = treeitems::container(m_tree, start);
    return box ? FindChannelItemIn(box, channelId) : nullptr;
}

void CFolderTree::AddPlaceholder(QTreeWidgetItem* channelItem)
{
    QTreeWidgetItem* placeholder =
        treeitems::insertItem(m_tree, channelItem, 0, QString::fromLatin1(PLACEHOLDER_LABEL));
    SetItemImages(placeholder, IMG_PLACEHOLDER, IMG_PLACEHOLDER);
}

void CFolderTree::ExpandAncestors(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* parent = item ? item->parent() : nullptr; parent;
         parent = parent->parent())
        parent->setExpanded(true);
}

QTreeWidgetItem* CFolderTree::InsertChannel(uint32_t channelId, uint32_t depth, bool alertMode,
                                            bool expand)
{
    if (!m_tree)
        return nullptr;
    DirectoryLock directory;
    CService* channel = directory.channel(channelId);
    if (!channel)
        return nullptr;

    QTreeWidgetItem* parent = nullptr;
    if (!alertMode) {
        const QString category =
            depth == 0 ? LoadString(IDS_ALL_SUBSCRIBED_CHANNELS) : FirstCategory(*channel);
        uint32_t taken = 0;
        for (const QString& level : SplitPathLevels(category)) {
            QTreeWidgetItem* next = FindChildByName(parent, level);
            if (!next) {
                // A name with a slash shows it as a slash.
                const QString label = FromPathForm(level);
                next = treeitems::insertItem(m_tree, parent, GetInsertPosition(parent, label, true),
                                             label);
                SetItemImages(next, IMG_FOLDER_CLOSED, IMG_FOLDER_OPEN);
                treeitems::setData(next, 0);
            }
            parent = next;
            ++taken;
            if (taken >= depth)
                break;
        }
    }

    bool bold = false;
    const QString label = ChannelLabel(*channel, &bold);
    QTreeWidgetItem* item =
        treeitems::insertItem(m_tree, parent, GetInsertPosition(parent, label, false), label);
    const int image = ChannelImage(*channel);
    SetItemImages(item, image, image);
    treeitems::setData(item, channelId);
    treeitems::setBold(item, bold);
    if (channel->ContainsSubChannels())
        AddPlaceholder(item);
    if (expand)
        ExpandAncestors(item);
    return item;
}

void CFolderTree::RemoveChannel(uint32_t channelId)
{
    if (!m_tree || channelId == 0)
        return;
    while (QTreeWidgetItem* item = FindChannelItem(nullptr, channelId)) {
        QTreeWidgetItem* parent = item->parent();
        treeitems::deleteItem(item);
        while (parent && treeitems::data(parent) == 0 &&
               GetItemKind(parent) == FolderItemKind::Category && parent->childCount() == 0) {
            QTreeWidgetItem* up = parent->parent();
            treeitems::deleteItem(parent);
            parent = up;
        }
    }
}

void CFolderTree::UpdateChannelImage(uint32_t channelId, bool withSubChannels)
{
    DirectoryLock directory;
    CService* channel = directory.channel(channelId);
    if (!channel)
        return;
    QTreeWidgetItem* item = FindChannelItem(nullptr, channelId);
    if (!item)
        return;
    const int image = ChannelImage(*channel);
    if (treeitems::image(item) != image || treeitems::selectedImage(item) != image)
        SetItemImages(item, image, image);
    if (withSubChannels) {
        if (channel->ContainsSubChannels() && item->childCount() == 0)
            AddPlaceholder(item);
        if (item->isExpanded())
            FillSubChannels(item);
    }
}

void CFolderTree::UpdateChannelCounts(uint32_t channelId)
{
    DirectoryLock directory;
    CService* channel = directory.channel(channelId);
    if (!channel)
        return;
    QTreeWidgetItem* item = FindChannelItem(nullptr, channelId);
    if (!item)
        return;
    bool bold = false;
    const QString label = ChannelLabel(*channel, &bold);
    if (item->text(0) != label)
        item->setText(0, label);
    if (treeitems::isBold(item) != bold)
        treeitems::setBold(item, bold);
    if (item->childCount() > 0) {
        QStringList names;
        channel->GetSubChannels(names);
        std::vector<long> unread;
        std::vector<long> total;
        channel->GetSubChannelsCount(names, unread, total);
        UpdateSubChannelCounts(item, names, unread, QString());
    }
}

void CFolderTree::FillSubChannels(QTreeWidgetItem* channelItem)
{
    if (!channelItem)
        return;
    const uint32_t channelId = treeitems::data(channelItem);
    DirectoryLock directory;
    CService* channel = directory.channel(channelId);
    if (!channel)
        return;
    QStringList names;
    if (!channel->GetSubChannels(names))
        return;
    for (const QString& name : names) {
        QTreeWidgetItem* parent = channelItem;
        for (const QString& level : SplitPathLevels(name)) {
            QTreeWidgetItem* next = FindChildByName(parent, level);
            if (!next) {
                const QString label = FromPathForm(level);
                next = treeitems::insertItem(
                    m_tree, parent, treeitems::sortedPosition(m_tree, parent, label), label);
                SetItemImages(next, IMG_SUBCHANNEL, IMG_SUBCHANNEL);
                treeitems::setData(next, channelId);
            }
            parent = next;
        }
    }
    PruneSubChannels(channelItem, names, QString());
    std::vector<long> unread;
    std::vector<long> total;
    channel->GetSubChannelsCount(names, unread, total);
    UpdateSubChannelCounts(channelItem, names, unread, QString());
}

void CFolderTree::PruneSubChannels(QTreeWidgetItem* item, const QStringList& names,
                                   const QString& prefix)
{
    if (!item)
        return;
    for (int i = 0; i < item->childCount();) {
        QTreeWidgetItem* child = item->child(i);
        QString path = GetPathForm(child);
        if (!prefix.isEmpty())
            path = prefix + QLatin1Char('/') + path;
        bool stays = false;
        for (const QString& name : names) {
            if (PathCovers(name, path)) {
                stays = true;
                break;
            }
        }
        if (stays) {
            PruneSubChannels(child, names, path);
            ++i;
        } else {
            treeitems::deleteItem(child);
        }
    }
}

void CFolderTree::UpdateSubChannelCounts(QTreeWidgetItem* item, const QStringList& names,
                                         const std::vector<long>& counts, const QString& prefix)
{
    if (!item || item->childCount() == 0 ||
        GetItemKind(item->child(0)) == FolderItemKind::Placeholder)
        return;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        const QString plain = GetPlainName(child);
        QString path = ToPathForm(plain);
        if (!prefix.isEmpty())
            path = prefix + QLatin1Char('/') + path;
        long sum = 0;
        for (int n = 0; n < names.size(); ++n) {
            if (static_cast<size_t>(n) < counts.size() && PathCovers(names[n], path))
                sum += counts[static_cast<size_t>(n)];
        }
        const QString wanted = sum > 0 ? QStringLiteral("%1 (%2)").arg(plain).arg(sum) : plain;
        if (child->text(0) != wanted)
            child->setText(0, wanted);
        const bool bold = treeitems::isBold(child);
        if (sum > 0 && !bold)
            treeitems::setBold(child, true);
        else if (sum <= 0 && bold)
            treeitems::setBold(child, false);
        UpdateSubChannelCounts(child, names, counts, path);
    }
}

QString CFolderTree::GetCategoryPath(const QTreeWidgetItem* item)
{
    if (!item)
        return QString();
    QString path = ToPathForm(treeitems::label(item));
    for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        path = QStringLiteral("%1/%2").arg(ToPathForm(treeitems::label(up)), path);
    return path;
}

QString CFolderTree::GetCategoryDisplayPath(const QTreeWidgetItem* item)
{
    if (!item)
        return QString();
    QString path = treeitems::label(item);
    for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        path = QStringLiteral("%1/%2").arg(treeitems::label(up), path);
    return path;
}

QString CFolderTree::GetSubChannelPath(const QTreeWidgetItem* item)
{
    QString path;
    for (const QTreeWidgetItem* node = item;
         node && GetItemKind(node) == FolderItemKind::SubChannel; node = node->parent()) {
        path = path.isEmpty() ? GetPathForm(node) : GetPathForm(node) + QLatin1Char('/') + path;
    }
    return path;
}

void CFolderTree::CollectChannelIds(const QTreeWidgetItem* categoryItem, std::vector<uint32_t>& ids)
{
    if (!categoryItem)
        return;
    for (int i = 0; i < categoryItem->childCount(); ++i) {
        const QTreeWidgetItem* child = categoryItem->child(i);
        switch (GetItemKind(child)) {
        case FolderItemKind::Channel:
            if (treeitems::data(child) != 0)
                ids.push_back(treeitems::data(child));
            break;
        case FolderItemKind::Category:
            CollectChannelIds(child, ids);
            break;
        default:
            break;
        }
    }
}

void CFolderTree::PrepareChannelExpand(QTreeWidgetItem* channelItem)
{
    if (!channelItem || GetItemKind(channelItem) != FolderItemKind::Channel)
        return;
    if (channelItem->childCount() > 0 &&
        GetItemKind(channelItem->child(0)) == FolderItemKind::Placeholder)
        treeitems::deleteItem(channelItem->child(0));
    FillSubChannels(channelItem);
}

void CFolderTree::ExpandAll(QTreeWidgetItem* item, bool channelsToo)
{
    QTreeWidgetItem* box = treeitems::container(m_tree, item);
    if (!box)
        return;
    for (int i = 0; i < box->childCount(); ++i) {
        QTreeWidgetItem* child = box->child(i);
        const bool isChannel = GetItemKind(child) == FolderItemKind::Channel;
        if (!channelsToo && isChannel)
            continue;
        if (isChannel)
            PrepareChannelExpand(child);
        child->setExpanded(true);
        ExpandAll(child, channelsToo);
    }
}

void CFolderTree::RebuildTree(uint32_t contentFlags, uint32_t depth, bool alertMode, bool expand)
{
    if (!m_tree)
        return;
    m_tree->clearSelection();
    m_tree->setCurrentItem(nullptr);
    m_tree->clear();
    std::vector<uint32_t> ids;
    {
        DirectoryLock directory;
        CServices* services = directory.get();
        if (!services)
            return;
        if (contentFlags & CONTENT_SUBSCRIBED_CHANNELS) {
            const int count = services->GetNoServices();
            for (int i = 0; i < count; ++i) {
                CService* channel = services->GetService(i);
                uint32_t id = 0;
                if (channel && channel->GetServiceID(id) && id != 0)
                    ids.push_back(id);
            }
        }
        if ((contentFlags & CONTENT_ALERTS_CHANNEL) &&
            services->GetServiceByID(VT_ALERTS_CHANNEL_ID))
            ids.push_back(VT_ALERTS_CHANNEL_ID);
    }
    for (uint32_t id : ids)
        InsertChannel(id, depth, alertMode, false);
    if (expand) {
        ExpandAll(nullptr, false);
        if (m_tree->topLevelItemCount() > 0)
            m_tree->scrollToItem(m_tree->topLevelItem(0), QAbstractItemView::PositionAtTop);
    }
}
