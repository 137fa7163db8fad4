// The channel status window opened through its window kind: its header, its four columns and
// empty list whatever channels exist, and the list following the pane's size.

#include "resources/readhall_resources.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/shared/headerview.h"
#include "src/status/statuswindow.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"

#include <QMdiSubWindow>
#include <gtest/gtest.h>

namespace
{

TEST(StatusWindow, ShowsFourColumnTitlesAndNoRowsAndFillsItsPaneWhenResized)
{
    readhallInitResources();
    ASSERT_TRUE(rhtest::engine::start());
    rhtest::engine::addChannel("Harbour Gazette", "News");
    rhtest::engine::addChannel("Fairway Court", "Sports");
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    sharedtest::FrameHost host;
    CDocTemplate kind(
        132, "StatusDoc", [] { return new CStatusDoc; }, [] { return new CStatusFrame; },
        [] { return new CStatusHeaderView; });
    auto* frame = host.open<CStatusFrame>(kind);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->subWindow()->windowTitle(), "Channel Status");
    auto* header = qobject_cast<CStatusHeaderView*>(frame->GetHeaderView());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetTitle(), "Status");
    EXPECT_FALSE(header->GetPicture().isNull());

    auto* view = qobject_cast<CStatusListView*>(frame->GetPaneView());
    ASSERT_NE(view, nullptr);
    QTreeWidget* list = view->list();
    QStringList titles;
    for (int i = 0; i < list->columnCount(); ++i)
        titles << list->headerItem()->text(i);
    EXPECT_EQ(titles, QStringList({"Channel", "Status", "Last Updated", "Next Update"}));
    EXPECT_EQ(list->topLevelItemCount(), 0);
    // Not maximised, the window opens wide enough for its four columns.
    ASSERT_TRUE(rhtest::waitFor([&] { return view->isVisible(); }));
    EXPECT_GE(list->viewport()->width(), 750);

    frame->MDIMaximize();
    for (const QSize size : {QSize(1000, 700), QSize(640, 420), QSize(1200, 860)}) {
        SCOPED_TRACE(size.width());
        host.main()->resize(size);
        EXPECT_TRUE(rhtest::waitFor(
            [&] { return view->width() > size.width() - 40 && list->geometry() == view->rect(); }));
    }
}

} // namespace
