#pragma once
// The channel folder tree: categories as folders, each subscribed channel under its category
// chain, each channel's sub-channels below the channel, unread counts in the labels. The tree
// control holds the model; CFolderTree reads and changes its items. The null item stands for
// the root (the top level).
//
// Every operation that needs a channel takes the shared directory (GetCServices), looks the
// channel up by id and gives the directory back before returning; without the directory or
// the channel it does nothing.

#include "src/channel/imagestrip.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class CService;
class QTreeWidget;
class QTreeWidgetItem;

enum class FolderItemKind { None, Category, Channel, SubChannel, Placeholder };

class CFolderTree
{
public:
    explicit CFolderTree(QTreeWidget* tree = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    void setTree(QTreeWidget* tree) { m_tree = tree; }
    const CImageStrip& images() const { return m_images; }

    // The 14-cell picture strip of the folder tree (16 by 16 cells, magenta transparent).
    static CImageStrip LoadFolderImages();

    // The kind of an item, told by its normal image index.
    static FolderItemKind GetItemKind(const QTreeWidgetItem* item);
    static bool IsChannelImage(int image);
    // The label; for a bold item the " (N)" ending is cut off (when at least two characters
    // precede the last "(").
    static QString GetPlainName(const QTreeWidgetItem* item);
    // The plain name with every "/" written as "&slash;".
    static QString GetPathForm(const QTreeWidgetItem* item);
    // The image index that shows the channel's state.
    static int ChannelImage(const CService& channel);
    // The channel's first category path (empty when it has none).
    static QString FirstCategory(const CService& channel);
    // The label and bold state of a channel node.
    static QString ChannelLabel(const CService& channel, bool* bold = nullptr);

    // The first category or sub-channel child whose path form equals the level text (with
    // regard to case); null when none.
    QTreeWidgetItem* FindChildByName(QTreeWidgetItem* parent, const QString& level) const;
    // Where a new item goes among the parent's children: categories before channels, each
    // group sorted without regard to case, a new item after equal labels.
    int GetInsertPosition(QTreeWidgetItem* parent, const QString& label, bool isCategory) const;
    // Depth first from the start item (the start itself unless it is the root).
    QTreeWidgetItem* FindChannelItem(QTreeWidgetItem* start, uint32_t channelId) const;

    QTreeWidgetItem* InsertChannel(uint32_t channelId, uint32_t depth, bool alertMode, bool expand);
    void RemoveChannel(uint32_t channelId);
    void UpdateChannelImage(uint32_t channelId, bool withSubChannels);
    void UpdateChannelCounts(uint32_t channelId);

    void FillSubChannels(QTreeWidgetItem* channelItem);
    void UpdateSubChannelCounts(QTreeWidgetItem* item, const QStringList& names,
                                const std::vector<long>& counts, const QString& prefix);
    void PruneSubChannels(QTreeWidgetItem* item, const QStringList& names, const QString& prefix);

    // The path of the item in category text form: the path forms of the labels from the top
    // level down to the item, joined with "/" (what is remembered and compared).
    static QString GetCategoryPath(const QTreeWidgetItem* item);
    // The same for people: the labels as shown, joined with "/".
    static QString GetCategoryDisplayPath(const QTreeWidgetItem* item);
    // The ids of the channels below a category item, in tree order.
    static void CollectChannelIds(const QTreeWidgetItem* categoryItem, std::vector<uint32_t>& ids);
    // The sub-channel path of a sub-channel node: the path forms of its sub-channel ancestors
    // and itself, joined with "/".
    static QString GetSubChannelPath(const QTreeWidgetItem* item);
    void ExpandAll(QTreeWidgetItem* item, bool channelsToo);
    // What opening a channel node does first: the placeholder goes, the sub-channels are read.
    void PrepareChannelExpand(QTreeWidgetItem* channelItem);
    void RebuildTree(uint32_t contentFlags, uint32_t depth, bool alertMode, bool expand);

    // Adds the placeholder as the first child of a channel node.
    void AddPlaceholder(QTreeWidgetItem* channelItem);
    // Expands every ancestor of the item.
    static void ExpandAncestors(QTreeWidgetItem* item);

private:
    void SetItemImages(QTreeWidgetItem* item, int normal, int selected) const;
    QTreeWidgetItem* FindChannelItemIn(QTreeWidgetItem* box, uint32_t channelId) const;

    QTreeWidget* m_tree;
    CImageStrip m_images;
};
