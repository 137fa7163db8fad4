#pragma once
// The channel directory's document: one CSiteMain per entry of the engine's directory, in
// the order the engine lists them, and the category tree of their category texts. Each entry
// knows whether it is subscribed and reads that again from the channel directory library
// after every subscription request and when the directory window reports a change.

#include "src/channel/category.h"
#include "src/channel/categoryview.h"
#include "src/framework/document.h"
#include "src/shared/windowkinds.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct VTDirectoryRecord;

class CSiteMain : public CCmdTarget
{
public:
    // An entry of no record: unsubscribed, every flag 0, id 0, empty texts.
    CSiteMain();
    explicit CSiteMain(const VTDirectoryRecord& record);

    // Subscription requests to the engine; 1 when it did what was asked.
    int Subscribe();
    int Unsubscribe();
    // Asks for the wanted state (1 subscribed, else not); on success the entry takes it, and
    // when the engine answered at all the entry reads its state again. Always answers 1.
    int SetSubscribed(int state);
    // Reads the subscription and the channel-state bit again from the channel directory;
    // answers 1 when the channel was found. `changed` (optional) tells whether either differs.
    int RefreshState(int* changed = nullptr);
    // The engine's settings of the subscribed channel; when they were confirmed the state is
    // read again and 1 answered.
    int ShowSettings();

    // The category list cut at its first ";" and then its first "/", without blanks at its
    // ends; "Miscellaneous" when that leaves nothing. A "&slash;" stays inside its name and
    // shows as "/".
    static QString DisplayCategoryOf(const QString& categories);

    // The row's state image (DIRIMG_* bits).
    int ImageIndex() const;
    // Whether the directory list shows the entry with the filter (DIRFILTER_*).
    bool IsShownWith(DWORD filter) const;

    uint32_t GetDirectoryEntryId() const { return m_entryId; }
    const QString& GetName() const { return m_name; }
    const QString& GetDescription() const { return m_description; }
    const QString& GetCategories() const { return m_categories; }
    const QString& GetDisplayCategory() const { return m_displayCategory; }
    // The column's text: 0 name, 1 description, 2 display category.
    const QString& GetColumnText(int column) const;
    DWORD IsSubscribed() const { return m_subscribed; }
    DWORD GetChannelState() const { return m_channelState; }
    DWORD GetFlags() const { return m_flags; }
    DWORD IsNew() const { return m_new; }
    uint32_t GetDate() const { return m_date; }
    // Decides "new" against the current time: dated above 0 and less than seven days before
    // it, the difference taken unsigned (an entry dated later is not new).
    void SetNewAt(uint32_t now);
    // The entry's place in its document (for the list's sort order).
    int GetPosition() const { return m_position; }
    void SetPosition(int position) { m_position = position; }

private:
    DWORD m_channelState = 0;
    DWORD m_subscribed = 0;
    DWORD m_flags = 0;
    DWORD m_visibility = 0;
    uint32_t m_entryId = 0;
    QString m_categories;
    QString m_displayCategory;
    QString m_description;
    QString m_name;
    DWORD m_new = 0;
    uint32_t m_date = 0;
    int m_position = -1;
};

// The hint object of DIRHINT_SELECT_ENTRY.
class CSiteMainHint : public CObject
{
public:
    explicit CSiteMainHint(CSiteMain* entry) : m_entry(entry) {}
    CSiteMain* m_entry;
};

class CProfilerDoc : public CDocument,
                     public CCategoryProvider,
                     public CDirectoryReloadTarget,
                     private CCategoryEntryList
{
    Q_OBJECT
public:
    CProfilerDoc();
    ~CProfilerDoc() override;

    // Reads the engine's directory list: 1 when it was obtained. With notify, the views are
    // told to reload (hint 0).
    int Load(int notify);
    // The first entry with the directory entry id; null when none.
    CSiteMain* FindEntry(uint32_t entryId) const;
    // An entry of the directory changed: reads its state again and, when that changed,
    // tells the views (hint 9). An id of 0 is ignored.
    void OnEntryChanged(uint32_t entryId);

    BOOL OnNewDocument() override;

    const std::vector<std::unique_ptr<CSiteMain>>& GetEntries() const { return m_entries; }
    int GetEntryCount() const override { return static_cast<int>(m_entries.size()); }
    bool IsLoading() const { return m_loading; }
    const CCategory* GetFirstCategory() const override { return &m_category; }
    // The entries' places in ascending order of a column's text (compared without regard to
    // case), by entry position; equal texts share a rank.
    const std::vector<int>& GetSortRanks(int column) const;

    // CDirectoryReloadTarget: the application's idle work.
    void ReloadDirectory(int flag) override { Load(flag); }
    // Reads every entry's state again; 1 when one changed.
    int CheckDirectoryChanged() override;

    // The engine callback: types 0x1000, 0x2000 and 0x4000 set the process-wide
    // directory-changed flag; nothing else is done. Any thread.
    static void NotificationCallback(uint32_t type, const char* text, uint32_t value,
                                     const char* text2, uint32_t value2, uint32_t value3,
                                     uint32_t value4);
    static bool IsDirectoryChanged();
    // Clears the flag; answers whether it was set.
    static bool TakeDirectoryChanged();
    // Whether a document has the callback registered now.
    static bool IsCallbackRegistered();
    // The clock Load decides "new" by, in seconds since 1970 (tests fix it); an empty
    // function gives the real clock back.
    static void SetTimeSource(std::function<uint32_t()> source);

private:
    // CCategoryEntryList over the entries, for the category tree.
    uint32_t GetEntryId(int index) const override;
    QString GetEntryCategories(int index) const override;
    QString GetEntryName(int index) const override;

    std::vector<std::unique_ptr<CSiteMain>> m_entries;
    QHash<uint32_t, int> m_firstById;
    CCategory m_category;
    mutable std::vector<int> m_sortRanks[3];
    bool m_loading = false;
    bool m_callbackRegistered = false;
};
