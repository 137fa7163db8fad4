#pragma once
// The rows of a headline list. The row data are parallel arrays indexed by a row's item
// data: the index the row was given when it was inserted. Sorting and deleting move rows,
// never the arrays, so a row's item data stays valid until the next fill; a deleted row's
// entry stays in the arrays until then.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

// The image of a story by its content kind and marks: -1 for none, else 0 .. 31.
int HeadlineImageIndex(uint32_t bundletType, bool hasSummary, bool local, bool kept, bool isSigned);

struct HeadlineRowData {
    std::vector<QString> headline;
    // The headline case-folded: the Content column sorts by it.
    std::vector<QString> headlineKey;
    std::vector<QString> channelName;
    std::vector<QString> subChannel;
    std::vector<uint32_t> time;

    std::vector<uint8_t> unread;
    std::vector<uint8_t> alerted;
    // Texts given to AddRow that the row's story does not give by itself: an identifier that
    // is no story's, a time text other than the text form of `time`. By row-data index.
    std::unordered_map<size_t, QString> storyId;
    std::unordered_map<size_t, QString> timeText;
    std::vector<int> image;
    // The story identifier taken apart once (parsed 0 when it is no story).
    std::vector<uint32_t> channelId;
    std::vector<uint32_t> storyNumber;
    std::vector<uint8_t> parsed;

    size_t size() const { return headline.size(); }
    void clear();
    void reserve(size_t n);
    void resize(size_t n);
};

class CHeadlineModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Roles {
        ItemDataRole = Qt::UserRole + 1, // int
        StoryIdRole,                     // QString
        UnreadRole,                      // bool
        AlertedRole,                     // bool
        ImageRole,                       // int, -1 for none
    };

    explicit CHeadlineModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // How rows look: the two fonts, the alerted text colour and the 32 images.
    void SetFonts(const QFont& normal, const QFont& bold);
    void SetAlertedColor(const QColor& color);
    void SetImages(std::vector<QPixmap> images);
    const std::vector<QPixmap>& Images() const { return m_images; }
    QPixmap Image(int index) const;
    void SetColumnTitle(int column, const QString& title);

    // Filling: BeginFill empties everything; rows are added with AddRow; EndFill shows them.
    void BeginFill();
    void ReserveRows(size_t extra);
    // Appends a row; returns its item data.
    int AddRow(const QString& headline, const QString& channelName, const QString& subChannel,
               uint32_t time, const QString& timeText, const QString& storyId, bool unread,
               bool alerted, int image);
    // Appends the row of a story as the directory gives it: its case-folded headline, its
    // time (shown in the directory's text form) and its channel and number.
    int AddStoryRow(const QString& headline, const QString& headlineKey, const QString& channelName,
                    const QString& subChannel, uint32_t time, uint32_t channelId,
                    uint32_t storyNumber, bool unread, bool alerted, int image);
    void EndFill();
    // The row data becomes one entry and the list one row showing the text in bold.
    void SetPlaceholder(const QString& text);

    const HeadlineRowData& RowData() const { return m_data; }
    // The story identifier of a row-data entry; empty when it is no story.
    QString StoryIdOf(int itemData) const;
    int ItemDataOfRow(int row) const;
    int RowOfItemData(int itemData) const; // -1 when no row has it
    // Whether the row stands for a story (its identifier is not empty).
    bool IsStoryRow(int row) const;
    // The first row-data index whose identifier names the story; with listedOnly, the first
    // that still has a row. -1 when none.
    int FindItemData(uint32_t channelId, uint32_t storyNumber, bool listedOnly) const;

    // Deletes the row that carries the item data; false when none does.
    bool RemoveItemRow(int itemData);
    // Updates one row-data entry after an attribute change and redraws its row.
    void UpdateItem(int itemData, bool unread, int image);

    // Sorts the rows (column 0 to 3; a negative column leaves them alone).
    void SortRows(int column, bool ascending);

private:
    void rebuildRowIndex();
    void pushRow(const QString& headline, QString headlineKey, const QString& channelName,
                 const QString& subChannel, uint32_t time, const QString& timeText,
                 const QString& storyId, uint32_t channelId, uint32_t storyNumber, bool parsed,
                 bool unread, bool alerted, int image);
    // The row-data entries in the order of a column, ascending; entries with equal texts keep
    // their order. Made on the first sort by the column after a fill, kept until the next.
    const std::vector<int>& rankOf(int column);
    void forgetRanks();
    void ensureFirstIndex() const;
    static uint64_t key(uint32_t channel, uint32_t number)
    {
        return (static_cast<uint64_t>(channel) << 32) | number;
    }

    HeadlineRowData m_data;
    std::vector<int> m_order;                               // row -> item data
    std::vector<int> m_rowOf;                               // item data -> row (-1: deleted)
    mutable std::unordered_map<uint64_t, int> m_firstIndex; // made when first asked for
    mutable bool m_firstIndexValid = false;
    std::vector<int> m_rank[4]; // per column: item data -> rank; empty until a sort needs it
    std::vector<QPixmap> m_images;
    QFont m_normalFont;
    QFont m_boldFont;
    QColor m_alertedColor = QColor(255, 0, 0);
    QString m_titles[4];
    bool m_filling = false;
};
