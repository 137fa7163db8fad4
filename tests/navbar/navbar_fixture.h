#pragma once
// The navigation bar tests: the real engine seeded by the test builder, a main window for the
// bar to dock in, and a recorder in place of the main frame's services, so that a test sees
// which window or channel the bar asked for.

#include "src/engine/messages.h"
#include "src/navbar/navigationbar.h"
#include "src/platform/messagewindow.h"
#include "src/shared/mainframelink.h"
#include "src/shared/windowkinds.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"

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
    void SetUp() override;
    void TearDown() override;

    // A bar made and created as the main frame makes it; the one of the test.
    CNavigationBar* createBar();
    // Destroys the bar (it stores its groups) and makes a new one, as a restart does.
    CNavigationBar* restart();
    // The group titles and the texts of a group's items, in order.
    QStringList groupTitles() const;
    QStringList itemTexts(int group) const;
    CGroupBar* groups() const { return bar->GetGroupBar(); }
    // The layout key of the stored groups.
    static QString layoutKeyPath();

    QMainWindow mainWindow;
    RecordingFrameLink frame;
    CNavigationBar* bar = nullptr;
};

} // namespace navtest
