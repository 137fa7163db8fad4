#pragma once
// The category tree of the channel directory: built from the category texts of directory
// entries, one node per category level, each node listing the ids of the entries filed
// there. Levels are matched without regard to case, so "News" and "news" share one node.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class CImageStrip;
class QTreeWidget;
class QTreeWidgetItem;

// A list of directory entries as the category tree reads it. The directory document
// implements it over its own entries; CCategoryEntryArray is a ready-made one.
class CCategoryEntryList
{
public:
    virtual ~CCategoryEntryList() = default;
    virtual int GetEntryCount() const = 0;
    virtual uint32_t GetEntryId(int index) const = 0;
    // The category text: paths separated by ";", levels by "/".
    virtual QString GetEntryCategories(int index) const = 0;
    virtual QString GetEntryName(int index) const = 0;
};

class CCategoryEntryArray : public CCategoryEntryList
{
public:
    struct Entry {
        uint32_t id = 0;
        QString categories;
        QString name;
    };
    void Add(uint32_t id, const QString& categories, const QString& name)
    {
        m_entries.push_back({id, categories, name});
    }
    void Clear() { m_entries.clear(); }

    int GetEntryCount() const override { return static_cast<int>(m_entries.size()); }
    uint32_t GetEntryId(int index) const override { return at(index).id; }
    QString GetEntryCategories(int index) const override { return at(index).categories; }
    QString GetEntryName(int index) const override { return at(index).name; }

private:
    const Entry& at(int index) const { return m_entries.at(static_cast<size_t>(index)); }
    std::vector<Entry> m_entries;
};

class CCategoryItem
{
public:
    explicit CCategoryItem(const QString& name) : m_name(name) { m_ids.reserve(5); }

    const QString& GetName() const { return m_name; }
    const std::vector<uint32_t>& GetIds() const { return m_ids; }

    std::vector<uint32_t> m_ids;
    std::vector<std::unique_ptr<CCategoryItem>> m_children;
    QString m_name;
};

using CCategoryItemList = std::vector<std::unique_ptr<CCategoryItem>>;

class CCategory
{
public:
    CCategory() = default;
    CCategory(const CCategory&) = delete;
    CCategory& operator=(const CCategory&) = delete;

    // Empties the tree, keeps the three lists (not owned; any may be null) and files every
    // entry under each of its paths.
    void Build(const CCategoryEntryList* list1, const CCategoryEntryList* list2 = nullptr,
               const CCategoryEntryList* list3 = nullptr);
    void Clear();

    // Inserts the nodes of the list under the parent item (null: the top level), sorted by
    // label, each with its children; with entries, each node also gets its entries' names.
    // An item's ItemPointerRole holds its CCategoryItem; strip gives the icons (may be null).
    void FillTree(QTreeWidget* tree, const CCategoryItemList& nodes, QTreeWidgetItem* parent,
                  bool withEntries, const CImageStrip* strip = nullptr) const;

    // The display name of the first entry with the id, searching list 1, 2, then 3. Returns 1
    // when found, else 0.
    int FindEntryName(uint32_t id, QString& name) const;

    const CCategoryItemList& GetItems() const { return m_items; }
    // The node an item of a filled tree stands for (null for other items).
    static const CCategoryItem* NodeOfItem(const QTreeWidgetItem* item);

private:
    const CCategoryEntryList* m_lists[3] = {nullptr, nullptr, nullptr};
    CCategoryItemList m_items;
};
