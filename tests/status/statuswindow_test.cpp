// The channel status window opened through its window kind: its header, its four columns and
// empty list whatever channels exist, and the list following the pane's size.

#include "resources/readhall_resources.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
#include "src/shared/headerview.h"
#include "src/status/statuswindow.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"

#include <QHeaderView>
#include <QMdiSubWindow>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class StatusWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
        app = std::make_unique<CWinApp>(QStringLiteral("StatusTests"));
        main = std::make_unique<CMDIFrameWnd>();
        app->m_pMainWnd = main.get();
        main->resize(1000, 700);
        main->show();
        statusKind = std::make_unique<CDocTemplate>(
            132, "StatusDoc", [] { return new CStatusDoc; }, [] { return new CStatusFrame; },
            [] { return new CStatusHeaderView; });
    }
    void TearDown() override
    {
        for (CMDIChildWnd* frame : main->GetChildFrames())
            frame->MDIDestroy();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        statusKind.reset();
        app->m_pMainWnd = nullptr;
        main.reset();
        app.reset();
    }

    CStatusFrame* open()
    {
        CDocument* doc = statusKind->OpenDocumentFile();
        return doc ? qobject_cast<CStatusFrame*>(doc->GetFrames().front()) : nullptr;
    }

    std::unique_ptr<CWinApp> app;
    std::unique_ptr<CMDIFrameWnd> main;
    std::unique_ptr<CDocTemplate> statusKind;
};

TEST_F(StatusWindowTest, ShowsTheFourColumnTitlesAndNoRowsWhateverChannelsExist)
{
    rhtest::engine::addChannel("Harbour Gazette", "News");
    rhtest::engine::addChannel("Fairway Court", "Sports");
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    CStatusFrame* frame = open();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->subWindow()->windowTitle(), "Channel Status");
    auto* header = qobject_cast<CStatusHeaderView*>(frame->GetHeaderView());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetTitle(), "Status");
    EXPECT_FALSE(header->GetPicture().isNull());

    auto* view = qobject_cast<CStatusListView*>(frame->GetPaneView());
    ASSERT_NE(view, nullptr);
    QTreeWidget* list = view->list();
    ASSERT_EQ(list->columnCount(), 4);
    const QTreeWidgetItem* titles = list->headerItem();
    const std::pair<const char*, int> expected[] = {
        {"Channel", 200}, {"Status", 150}, {"Last Updated", 200}, {"Next Update", 200}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(titles->text(i), expected[i].first);
        EXPECT_EQ(list->columnWidth(i), expected[i].second);
    }
    EXPECT_EQ(list->topLevelItemCount(), 0);
    // Not maximised, the window opens wide enough for its four columns.
    ASSERT_TRUE(rhtest::waitFor([&] { return view->isVisible(); }));
    EXPECT_GE(list->viewport()->width(), 750);
}

TEST_F(StatusWindowTest, TheListFillsItsPaneAsTheWindowIsResized)
{
    CStatusFrame* frame = open();
    ASSERT_NE(frame, nullptr);
    auto* view = qobject_cast<CStatusListView*>(frame->GetPaneView());
    ASSERT_NE(view, nullptr);
    frame->MDIMaximize();
    for (const QSize size : {QSize(1000, 700), QSize(640, 420), QSize(1200, 860)}) {
        main->resize(size);
        ASSERT_TRUE(rhtest::waitFor([&] {
            return view->height() > 0 && view->list()->geometry() == view->rect() &&
                   view->width() > size.width() - 40;
        })) << size.width()
            << "x" << size.height();
        EXPECT_EQ(frame->GetHeaderView()->height(), 55);
    }
}

} // namespace
