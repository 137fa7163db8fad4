// The engine's channel status window among the program's windows.

#include "src/engine/enginewindowhost.h"
#include "src/engine/notificationwindow.h"
#include "src/platform/messagewindow.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace
{

constexpr char kEngineWindowClass[] = "QSENGINE_NOTIFICATIONS";

TEST(EngineWindowHost, TheShowNotificationShowsTheEngineWindowThatFindWindowFinds)
{
    ASSERT_TRUE(rhtest::engine::start());
    ASSERT_TRUE(InstallEngineWindowHost());
    EXPECT_EQ(FindWindow(kEngineWindowClass), 0u); // made when first asked for

    HWND found = 0;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(BroadcastNotification(VTNOTIFICATION_SHOW_CHANNEL_STATUS, QString(), 0), 1);
        ASSERT_TRUE(rhtest::waitFor([&] {
            found = FindWindow(kEngineWindowClass);
            return found != 0 && WindowFromHandle(found)->ownerWidget()->isVisible();
        }));
        WindowFromHandle(found)->ownerWidget()->close(); // closed, it is shown again when asked
    }
    QPointer<QWidget> window = WindowFromHandle(found)->ownerWidget();
    InstallEngineWindowHost(); // a second time: still one handle for the window
    const std::vector<HWND> all = EnumWindows();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](HWND w) { return GetClassName(w) == kEngineWindowClass; }),
              1);
    RemoveEngineWindowHost();
    rhtest::engine::stop();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(IsWindow(found));
}

} // namespace
