#pragma once
// Channel window test helpers: the real engine, resources, readers of tree items and settings.

#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/channel/foldertree.h"
#include "src/channel/treeitems.h"
#include "src/framework/cmdtarget.h"
#include "src/framework/view.h"
#include "src/shared/panes.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"

#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

// Test panes in the headline list's and browser's places record the hints they receive.

// One hint as a test pane received it.
struct RecordedHint {
    LPARAM code = 0;
    uint32_t number = 0;
    std::vector<uint32_t> array;
    QString text;
};

class CRecordingPlaceholderView : public CView
{
    Q_OBJECT
public:
    explicit CRecordingPlaceholderView(const QString& className) : CView(className) {}

    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    const std::vector<RecordedHint>& hints() const { return m_hints; }
    void clearHints() { m_hints.clear(); }
    // How many hints of the code arrived.
    int hintCount(LPARAM code) const
    {
        return int(std::count_if(m_hints.begin(), m_hints.end(),
                                 [code](const RecordedHint& h) { return h.code == code; }));
    }

private:
    std::vector<RecordedHint> m_hints;
};

// In the headline list's place: records, and lists no stories.
class CHeadlinePlaceholderView : public CRecordingPlaceholderView, public CStoryListPane
{
    Q_OBJECT
public:
    CHeadlinePlaceholderView() : CRecordingPlaceholderView(QStringLiteral("CHeadlineView")) {}
    int HasListedStories() const override { return 0; }
    int MarkAllListedRead() override { return 0; }
};

namespace channeltest
{

// Starts the engine and registers the resources; every channel test fixture derives from it.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A channel with `unread` unread stories.
    static uint32_t addChannel(const QString& name, const QString& category, int unread = 0,
                               uint32_t flags = rhtest::engine::Enabled);
    static uint32_t addStory(uint32_t channel, const QString& headline, bool read,
                             const QString& category = QString());
    static void markAllRead(uint32_t channel);
    // Moves a channel to another category in the running engine.
    static void setChannelCategory(uint32_t channel, const QString& category);
    // The workgroup restrictions, in the engine and in the main frame's copy.
    static void setRestrictions(uint32_t mask);
};

// A view of kind V over a channel document with a recording view beside it that sees the same
// hints; both are deleted at the end of the test.
template <class V> class ChannelViewTest : public EngineTest
{
protected:
    void TearDown() override
    {
        closeViews();
        EngineTest::TearDown();
    }
    // The views over the document (the fixture's own by default), sized, after the first update.
    void open(CChannelDoc* document = nullptr, QSize size = QSize())
    {
        doc = document ? document : &channelDoc;
        view = new V;
        recorder = new CRecordingPlaceholderView("Recorder");
        doc->AddView(view);
        doc->AddView(recorder);
        if (size.isValid())
            view->resize(size);
        view->OnInitialUpdate();
    }
    void closeViews()
    {
        delete view;
        delete recorder;
        view = nullptr;
        recorder = nullptr;
    }
    void hint(LPARAM code, uint32_t id)
    {
        CUpdateHint update(id);
        doc->UpdateAllViews(nullptr, code, &update);
    }
    // Whether the view's rule enables the command.
    bool enabled(UINT id)
    {
        CCmdUI ui(id);
        view->UpdateCmdUI(&ui);
        return ui.isEnabled();
    }

    CChannelDoc channelDoc;
    CChannelDoc* doc = nullptr;
    V* view = nullptr;
    CRecordingPlaceholderView* recorder = nullptr;
};

// The labels of an item's children (the top level for null).
QStringList childLabels(QTreeWidget* tree, QTreeWidgetItem* parent = nullptr);
// Follows labels from the top level down; null when a label is missing.
QTreeWidgetItem* itemAt(QTreeWidget* tree, const QStringList& labels);

inline const QString kReadhallKey = sharedtest::readhallKey();
inline const QString kLayoutKey = sharedtest::layoutKey();
inline const QString kFolderKey = kReadhallKey + "\\ChannelFolderView";
using sharedtest::setNumber;
using sharedtest::setText;
// A number of the user's settings; -1 when absent.
inline long readUserNumber(const QString& key, const QString& name)
{
    return sharedtest::hasValue(key, name) ? long(sharedtest::storedNumber(key, name)) : -1;
}

} // namespace channeltest
