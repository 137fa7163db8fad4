#pragma once
// The navigation bar tests: the real engine, a main window for the bar to dock in, and a
// recorder in the main frame's place that sees which window or channel the bar asked for.

#include "resources/readhall_resources.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/navbar/groupbar.h"
#include "src/navbar/navigationbar.h"
#include "src/platform/messagewindow.h"
#include "src/shared/mainframelink.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "src/shared/windowkinds.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"

#include <QCursor>
#include <QMainWindow>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace navtest
{

using namespace sharedtest;

// Records what the bar asks of the main frame, and tells the bar the view of each window
// shown, as the main frame does.
class RecordingFrameLink : public CMainFrameLink
{
public:
    BOOL ShowStory(uint32_t, uint32_t) override { return 0; }
    BOOL ShowURL(const QString& url) override
    {
        urls << url;
        return 1;
    }
    void ShowSecureIndicator(BOOL) override {}
    void PostStatusText(const QString&) override {}
    CDocument* ShowWindowKind(int kind) override
    {
        kinds.push_back(kind);
        tellBar(NavigationViewOf(kind));
        return nullptr;
    }
    BOOL ShowChannel(uint32_t channelId) override
    {
        channels.push_back(channelId);
        tellBar(NAVVIEW_CHANNEL);
        return 1;
    }
    void tellBar(int view) const
    {
        if (navigationBar)
            SendMessage(navigationBar, WM_NAVBAR_SELECTVIEW, view, 0);
    }

    HWND navigationBar = 0;
    std::vector<int> kinds;
    std::vector<uint32_t> channels;
    QStringList urls;
};

class NavbarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        startupchecks::resetForTests();
        SetWorkgroupRestrictions(0);
        InstallDirectoryMessageSink();
        ASSERT_TRUE(rhtest::engine::start());
        SetMainFrameLink(&frame);
        mainWindow.setGeometry(0, 0, 800, 600);
        // The bar reads the cursor when a drag goes over it; it starts away from the bar.
        QCursor::setPos(QPoint(790, 590));
    }
    void TearDown() override
    {
        destroyBar();
        SetMainFrameLink(nullptr);
        CNavigationBar::SetMenuTrackHook(nullptr);
        rhtest::engine::waitForIdle();
        startupchecks::resetForTests();
    }

    // A bar made and created as the main frame makes it; the one of the test.
    CNavigationBar* createBar()
    {
        bar = new CNavigationBar(&mainWindow);
        EXPECT_TRUE(bar->Create());
        mainWindow.addDockWidget(Qt::LeftDockWidgetArea, bar);
        frame.navigationBar = bar->hwnd();
        return bar;
    }
    // Destroys the bar, which stores its groups.
    void destroyBar()
    {
        delete bar;
        bar = nullptr;
        frame.navigationBar = 0;
    }
    // Destroys the bar and makes a new one, as a restart does.
    CNavigationBar* restart()
    {
        destroyBar();
        return createBar();
    }
    // The group titles and the texts of a group's items, in order.
    QStringList groupTitles() const
    {
        QStringList titles;
        for (int group = 0; group < groups()->GetGroupCount(); ++group)
            titles << groups()->GetGroupTitle(group);
        return titles;
    }
    QStringList itemTexts(int group) const
    {
        QStringList texts;
        for (int item = 0; item < groups()->GetItemCount(group); ++item)
            texts << groups()->GetItemText(group, item);
        return texts;
    }
    CGroupBar* groups() const { return bar->GetGroupBar(); }
    // The layout key of the stored groups.
    static QString layoutKeyPath() { return settings::navigationBarLayoutKeyPath(); }

    QMainWindow mainWindow;
    RecordingFrameLink frame;
    CNavigationBar* bar = nullptr;
};

} // namespace navtest
