// The directory list: settings, sorting, commands, subscribing, hints, drags and the timer.

#include "src/directory/directoryids.h"
#include "src/engine/messages.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/shared/appservices.h"
#include "src/shared/dragdrop.h"
#include "src/shared/programstate.h"
#include "tests/directory/directory_fixture.h"
#include "tests/support/testenv.h"

#include <QTabBar>
#include <set>

using namespace directorytest;

namespace
{

class ProfilerViewTest : public ListTest
{
protected:
    int imageOf(const QString& name) const { return view->GetModel()->ImageOf(rowOf(name)); }
    static bool engineSubscribed(uint32_t id) { return channelOf(id) != 0; }
    void clickHeader(int column)
    {
        QHeaderView* header = view->GetListCtrl()->header();
        const QPoint point(header->sectionViewportPosition(column) + 20, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    }
};

TEST_F(ProfilerViewTest, ClosingStoresTheLayoutAndStoredWidthsAreTakenAbsoluteUpTo2000)
{
    addEntry("Alpha");
    open();
    QHeaderView* header = view->GetListCtrl()->header();
    EXPECT_EQ(
        (std::vector<int>{header->sectionSize(0), header->sectionSize(1), view->GetColumnWidth(2)}),
        (std::vector<int>{200, 240, 120})); // nothing stored yet
    // The last column reaches the list's right edge.
    EXPECT_EQ(header->length(), view->GetListCtrl()->viewport()->width());
    header->resizeSection(0, 0);
    header->resizeSection(2, 333);
    view->OnColumnClick(2);
    view->OnTabChanged(2);
    closeView();
    std::vector<long> stored; // a hidden first column comes back
    for (const char* name : {"Width0", "Width2", "ViewFilter", "Sort1", "Asc1"})
        stored.push_back(readListSetting(name));
    EXPECT_EQ(stored, (std::vector<long>{200, 333, long(DIRFILTER_NEW), 2, 0}));

    const struct {
        int stored;
        int shown;
    } cases[] = {{-300, 300}, {5000, 2000}, {2000, 2000}, {-2500, 2000}, {75, 75}};
    for (const auto& c : cases) {
        writeListSetting("Width1", static_cast<uint32_t>(c.stored));
        open();
        EXPECT_EQ(view->GetListCtrl()->header()->sectionSize(1), c.shown) << c.stored;
        closeView();
        EXPECT_EQ(readListSetting("Width1"), c.shown) << c.stored;
    }
}

TEST_F(ProfilerViewTest, EveryHeaderClickFlipsTheDirectionAndKeepsTheSelection)
{
    addEntry("beta", "Sport");
    addEntry("Alpha", "news");
    addEntry("gamma", "Arts");
    open();
    EXPECT_EQ(names(), (QStringList{"Alpha", "beta", "gamma"})); // stored default: ascending
    selectRows({"gamma"});
    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"gamma", "beta", "Alpha"}));
    EXPECT_FALSE(view->IsSortAscending());
    EXPECT_EQ(selectedNames(), QStringList{"gamma"}); // the selection stays on its entry
    clickHeader(2);                                   // another column flips as well
    EXPECT_EQ(view->GetSortColumn(), 2);
    EXPECT_EQ(names(), (QStringList{"gamma", "Alpha", "beta"}));
    clickHeader(2);
    EXPECT_EQ(names(), (QStringList{"beta", "Alpha", "gamma"}));
}

TEST_F(ProfilerViewTest, CommandsFollowTheSelection)
{
    addEntry("Open 1");
    addEntry("Open 2");
    addSubscribed("Taken");
    open();
    const struct {
        QStringList selected;
        bool subscribe, unsubscribe, properties;
    } cases[] = {
        {{}, false, false, false},
        {{"Open 1"}, true, false, false},
        {{"Taken"}, false, true, true},
        {{"Open 1", "Open 2", "Taken"}, true, true, false},
        {{"Open 1", "Open 2"}, true, true, false},
    };
    for (const auto& c : cases) {
        selectRows(c.selected);
        const std::string what = c.selected.join(",").toStdString();
        EXPECT_EQ(enabled(ID_CHANNEL_SUBSCRIBE), c.subscribe) << what;
        EXPECT_EQ(enabled(ID_CHANNEL_UNSUBSCRIBE), c.unsubscribe) << what;
        EXPECT_EQ(enabled(ID_CHANNEL_PROPERTIES), c.properties) << what;
    }
    EXPECT_TRUE(enabled(ID_EDIT_SELECT_ALL));
    EXPECT_TRUE(view->ExecuteCommand(ID_EDIT_SELECT_ALL));
    EXPECT_EQ(view->SelectedRows().size(), 3u);
}

TEST_F(ProfilerViewTest, ACheckBoxClickSubscribesAndRedrawsItsRowAtOnceUnlessRefused)
{
    const uint32_t id = addEntry("Weather", "", VTDIRENTRY_HOME_SERVER);
    const uint32_t home = addSubscribed("Home", "", VTDIRENTRY_REQUIRED | VTDIRENTRY_PREMIER);
    open();
    EXPECT_EQ(imageOf("Weather"), DIRIMG_HOME_SERVER);
    clickCheckBox("Weather");
    EXPECT_TRUE(engineSubscribed(id));
    EXPECT_EQ(imageOf("Weather"), DIRIMG_HOME_SERVER | DIRIMG_SUBSCRIBED);
    clickCheckBox("Weather");
    EXPECT_FALSE(engineSubscribed(id));
    EXPECT_EQ(imageOf("Weather"), DIRIMG_HOME_SERVER);

    // A request the engine refuses leaves the row as it was.
    EXPECT_EQ(imageOf("Home"), DIRIMG_SUBSCRIBED | DIRIMG_PREMIER);
    clickCheckBox("Home");
    EXPECT_TRUE(engineSubscribed(home));
    EXPECT_EQ(imageOf("Home"), DIRIMG_SUBSCRIBED | DIRIMG_PREMIER);
    EXPECT_TRUE(doc.FindEntry(home)->IsSubscribed());

    // A click beside the picture is only a selection.
    CDirectoryList* list = view->GetListCtrl();
    const QRect rect = list->visualRect(view->GetModel()->index(rowOf("Weather"), 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_FALSE(engineSubscribed(id));
}

TEST_F(ProfilerViewTest, SpaceAsksTheEngineAndTheRowsWaitForItsReport)
{
    const uint32_t open1 = addEntry("Open");
    const uint32_t taken = addSubscribed("Taken");
    open();
    selectRows({"Open", "Taken"});
    view->GetListCtrl()->setFocus();
    QTest::keyClick(view->GetListCtrl(), Qt::Key_Space);
    EXPECT_EQ(std::make_pair(engineSubscribed(open1), engineSubscribed(taken)),
              std::make_pair(true, false));
    EXPECT_EQ(imageOf("Open"), 0);
    doc.OnEntryChanged(open1);
    doc.OnEntryChanged(taken);
    EXPECT_EQ(std::make_pair(imageOf("Open"), imageOf("Taken")),
              std::make_pair(int(DIRIMG_SUBSCRIBED), 0));
}

TEST_F(ProfilerViewTest, DoubleClickOpensASubscribedChannelOrOffersToSubscribe)
{
    CWinApp app(QStringLiteral("DirectoryTests"));
    CMDIFrameWnd main;
    app.m_pMainWnd = &main;
    std::vector<WPARAM> shown;
    main.onMessage(WM_SHOW_CHANNEL, [&](WPARAM id, LPARAM) -> LRESULT {
        shown.push_back(id);
        return 0;
    });
    const uint32_t taken = addSubscribed("Taken");
    const uint32_t offered = addEntry("Offered");
    open();
    selectRows({"Taken"});
    view->OnDoubleClick();
    ASSERT_TRUE(rhtest::waitFor([&] { return !shown.empty(); }));
    EXPECT_EQ(shown, std::vector<WPARAM>{channelOf(taken)});

    platform::resetMessageBoxHook();
    selectRows({"Offered"});
    platform::queueMessageBoxAnswer(IDNO);
    view->OnDoubleClick();
    EXPECT_FALSE(engineSubscribed(offered));
    platform::queueMessageBoxAnswer(IDYES);
    view->OnDoubleClick();
    EXPECT_TRUE(engineSubscribed(offered));
    EXPECT_EQ(imageOf("Offered"), DIRIMG_SUBSCRIBED);
    ASSERT_EQ(platform::messageBoxQuestions().size(), 2u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].text,
              "You are not subscribed to this channel. Do you want to subscribe now?");
    app.m_pMainWnd = nullptr;
}

TEST_F(ProfilerViewTest, TheStoredFilterChoosesTabAndRows)
{
    constexpr uint32_t now = 2000000000u;
    CProfilerDoc::SetTimeSource([] { return now; });
    addEntry("Old", "", 0, QDateTime::fromSecsSinceEpoch(now - 30 * 86400));
    addEntry("Fresh", "", 0, QDateTime::fromSecsSinceEpoch(now - 3600));
    addSubscribed("Mine");
    const struct {
        DWORD filter;
        int tab;
        QStringList rows;
    } cases[] = {{DIRFILTER_ALL, 0, {"Fresh", "Mine", "Old"}},
                 {DIRFILTER_SUBSCRIBED, 1, {"Mine"}},
                 {DIRFILTER_NEW, 2, {"Fresh"}}};
    for (const auto& c : cases) {
        writeListSetting("ViewFilter", c.filter);
        open();
        EXPECT_EQ(view->GetTabCtrl()->currentIndex(), c.tab) << c.filter;
        EXPECT_EQ(names(), c.rows) << c.filter;
        closeView();
    }
}

TEST_F(ProfilerViewTest, HintsRedrawSelectAndReload)
{
    const uint32_t first = addEntry("First");
    addEntry("Second");
    open();
    CSiteMainHint select(doc.FindEntry(first));
    doc.UpdateAllViews(nullptr, DIRHINT_SELECT_ENTRY, &select);
    EXPECT_EQ(selectedNames(), QStringList{"First"});

    // The entry learns its state; the row shows it when told to recompute.
    ASSERT_EQ(VTSubscribeToChannel(nullptr, first), 1);
    doc.FindEntry(first)->RefreshState();
    EXPECT_EQ(imageOf("First"), 0);
    doc.UpdateAllViews(nullptr, DIRHINT_SELECTION_MARKS);
    EXPECT_EQ(imageOf("First"), DIRIMG_SUBSCRIBED);

    // With the Subscribed tab, "subscriptions changed" refills the list.
    view->OnTabChanged(1);
    doc.UpdateAllViews(nullptr, APPHINT_DIRECTORY_REDRAW);
    EXPECT_EQ(names(), QStringList{"First"});
}

TEST_F(ProfilerViewTest, DroppedEntriesAreSubscribedFirstAndHandedOverByChannel)
{
    const uint32_t taken = addSubscribed("Taken");
    const uint32_t open1 = addEntry("Open");
    open();
    const UINT canDrop = DragDropMessages().canDrop;
    QWidget holder;
    MessageWindow target("DropTarget", &holder);
    std::vector<std::pair<WPARAM, LPARAM>> asked;
    std::vector<WPARAM> dropped;
    target.setMessageHandler([&](UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == canDrop) {
            asked.emplace_back(w, l);
            return 1;
        }
        if (message == DragDropMessages().dropChannel)
            dropped.push_back(w);
        return 0;
    });
    view->move(0, 0);
    holder.setGeometry(520, 430, 200, 150); // beside the list, on the screen
    holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));
    const QPoint inside = holder.mapToGlobal(QPoint(100, 75));
    ASSERT_EQ(WindowFromPoint(inside), target.hwnd());

    selectRows({"Taken", "Open"});
    view->BeginDrag(rowOf("Open"), QPoint(10, 10));
    ASSERT_TRUE(view->IsDragging());
    view->DragMove(inside);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), (std::pair<WPARAM, LPARAM>(DRAGKIND_CHANNEL, 2)));
    view->DragDrop(inside);
    EXPECT_FALSE(view->IsDragging());
    EXPECT_EQ(std::multiset<WPARAM>(dropped.begin(), dropped.end()),
              (std::multiset<WPARAM>{channelOf(taken), channelOf(open1)}));
    EXPECT_EQ(imageOf("Open"), DIRIMG_SUBSCRIBED);
}

// An application that counts its modal operations as the program's does.
class CountingApp : public CWinApp, public CAppServices
{
public:
    CountingApp() : CWinApp(QStringLiteral("DirectoryTests")) {}
    void RegisterWindow(HWND) override {}
    void UnregisterWindow(HWND) override {}
    void BroadcastMessage(UINT, WPARAM, LPARAM) override {}
    HPALETTE palette() const override { return nullptr; }
    bool showUnreadItemsOnly() const override { return false; }
    CDocTemplate* GetTemplate(int) const override { return nullptr; }
    void AdjustModalOperationCount(int delta) override { count += delta; }
    int count = 0;
};

int g_countDuringChange = -1;

TEST_F(ProfilerViewTest, TheBusyCounterIsRaisedWhileTheEngineWorks)
{
    CountingApp app;
    // The engine reports the subscription while it is being made.
    auto callback = [](uint32_t, const char*, uint32_t, const char*, uint32_t, uint32_t, uint32_t) {
        if (auto* counting = dynamic_cast<CountingApp*>(AppServices()))
            g_countDuringChange = counting->count;
    };
    ASSERT_EQ(VTRegisterNotificationCallback(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, callback), 1);
    addEntry("Busy");
    open();
    clickCheckBox("Busy");
    EXPECT_EQ(g_countDuringChange, 1);
    EXPECT_EQ(app.count, 0);
    g_countDuringChange = -1;
    selectRows({"Busy"});
    view->OnSpaceKey();
    EXPECT_EQ(g_countDuringChange, 1);
    EXPECT_EQ(app.count, 0);
    VTUnRegisterNotificationCallback(callback);
}

TEST_F(ProfilerViewTest, TheTimerTurnsAReportedChangeIntoOneReloadRequest)
{
    open();
    TakeDirectoryWork();
    view->OnTimer();
    EXPECT_FALSE(IsDirectoryReloadRequested());
    addEntry("Arrived"); // the engine reports it through the callback
    view->OnTimer();
    EXPECT_TRUE(IsDirectoryReloadRequested());
    EXPECT_FALSE(CProfilerDoc::IsDirectoryChanged());
    TakeDirectoryWork();
}

} // namespace
