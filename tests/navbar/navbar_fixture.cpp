#include "tests/navbar/navbar_fixture.h"

#include "resources/readhall_resources.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/navbar/groupbar.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "src/shared/windowkinds.h"

#include <QCursor>

namespace navtest
{

void NavbarTest::SetUp()
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

void NavbarTest::TearDown()
{
    delete bar;
    bar = nullptr;
    frame.navigationBar = 0;
    SetMainFrameLink(nullptr);
    CNavigationBar::SetMenuTrackHook(nullptr);
    rhtest::engine::waitForIdle();
    startupchecks::resetForTests();
}

CNavigationBar* NavbarTest::createBar()
{
    bar = new CNavigationBar(&mainWindow);
    EXPECT_TRUE(bar->Create());
    mainWindow.addDockWidget(Qt::LeftDockWidgetArea, bar);
    frame.navigationBar = bar->hwnd();
    return bar;
}

CNavigationBar* NavbarTest::restart()
{
    delete bar;
    bar = nullptr;
    frame.navigationBar = 0;
    return createBar();
}

QStringList NavbarTest::groupTitles() const
{
    QStringList titles;
    for (int group = 0; group < groups()->GetGroupCount(); ++group)
        titles << groups()->GetGroupTitle(group);
    return titles;
}

QStringList NavbarTest::itemTexts(int group) const
{
    QStringList texts;
    for (int item = 0; item < groups()->GetItemCount(group); ++item)
        texts << groups()->GetItemText(group, item);
    return texts;
}

QString NavbarTest::layoutKeyPath()
{
    return settings::navigationBarLayoutKeyPath();
}

} // namespace navtest
