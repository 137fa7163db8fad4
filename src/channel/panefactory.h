#pragma once
// The headline list and browser panes of the channel window come from here, so that the frame
// does not depend on their classes. Until the real headline list and browser views are
// plugged in, plain placeholder views stand in their places; they show what the document
// names and record every hint they receive.

#include "src/framework/view.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QListWidget;
class QLabel;

// A new headline list pane / browser pane (not yet joined to a document).
CView* CreateHeadlinePane();
CView* CreateBrowserPane();

// Test hook: panes from these factories instead (a null factory gives the real pane again).
void SetPaneFactoriesForTesting(std::function<CView*()> headline, std::function<CView*()> browser);

// What the frame asks of its headline list pane (false / nothing for another view).
bool HeadlinePaneHasListedStories(CView* pane);
void HeadlinePaneMarkAllListedRead(CView* pane);

// One hint as a placeholder received it.
struct RecordedHint {
    LPARAM code = 0;
    bool hasObject = false;
    uint32_t number = 0;
    std::vector<uint32_t> array;
    QString text;
};

// Shared by both placeholders: records the hints.
class CRecordingPlaceholderView : public CView
{
    Q_OBJECT
public:
    explicit CRecordingPlaceholderView(const QString& className, QWidget* parent = nullptr);

    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    const std::vector<RecordedHint>& hints() const { return m_hints; }
    void clearHints() { m_hints.clear(); }
    // How many hints of the code arrived.
    int hintCount(LPARAM code) const;

protected:
    virtual void Show() {}

private:
    std::vector<RecordedHint> m_hints;
};

// Lists the headlines of the channels the document shows.
class CHeadlinePlaceholderView : public CRecordingPlaceholderView
{
    Q_OBJECT
public:
    explicit CHeadlinePlaceholderView(QWidget* parent = nullptr);
    bool HasListedStories() const;
    void MarkAllListedRead();
    QListWidget* list() const { return m_list; }

protected:
    void Show() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QListWidget* m_list;
    // The listed stories: channel id and story number.
    std::vector<std::pair<uint32_t, uint32_t>> m_stories;
};

// Shows the address the browser pane was asked to show.
class CBrowserPlaceholderView : public CRecordingPlaceholderView
{
    Q_OBJECT
public:
    explicit CBrowserPlaceholderView(QWidget* parent = nullptr);
    QString currentUrl() const { return m_url; }

protected:
    void Show() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_label;
    QString m_url;
};
