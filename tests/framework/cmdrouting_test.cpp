// Command routing and update rules: the order of the route, menus updated before they show,
// toolbar buttons updated while idle, commands posted to the main frame's handle, context
// menus that start at their view.

#include "tests/framework/framework_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>

using namespace fwtest;

namespace
{
constexpr UINT kCmd = 32780;
constexpr UINT kOther = 32781;
constexpr UINT kUnhandled = 32782;

class CommandRouting : public FrameworkTest
{
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        docTemplate = addTemplate();
        doc = docTemplate->OpenDocumentFile();
        ASSERT_NE(doc, nullptr);
        frame = main->MDIGetActive();
        view = frame->GetActiveView();
    }

    // Every target of the route handles kCmd and notes its name.
    void handleEverywhere(std::vector<std::string>& calls)
    {
        view->onCommand(kCmd, [&calls] { calls.push_back("view"); });
        doc->onCommand(kCmd, [&calls] { calls.push_back("document"); });
        frame->onCommand(kCmd, [&calls] { calls.push_back("frame"); });
        main->onCommand(kCmd, [&calls] { calls.push_back("main"); });
        app->onCommand(kCmd, [&calls] { calls.push_back("app"); });
    }

    CDocTemplate* docTemplate = nullptr;
    CDocument* doc = nullptr;
    CMDIChildWnd* frame = nullptr;
    CView* view = nullptr;
};

TEST_F(CommandRouting, RouteGoesViewDocumentFrameMainFrameApplicationAndFirstEnabledHandlerWins)
{
    std::vector<std::string> calls;
    handleEverywhere(calls);
    const std::vector<CCmdTarget*> targets{view, doc, frame, main, app.get()};
    EXPECT_EQ(main->CommandRoute(), targets);
    const std::vector<std::string> order{"view", "document", "frame", "main", "app"};
    for (size_t i = 0; i < order.size(); ++i) {
        calls.clear();
        EXPECT_TRUE(main->ExecuteCommand(kCmd));
        ASSERT_EQ(calls.size(), 1u) << "only the first handler runs";
        EXPECT_EQ(calls.front(), order[i]);
        targets[i]->removeCommand(kCmd);
    }
    calls.clear();
    EXPECT_FALSE(main->ExecuteCommand(kCmd));
    EXPECT_TRUE(calls.empty());

    // A disabled command does not run.
    int runs = 0;
    bool enabled = false;
    frame->onCommand(kOther, [&runs] { ++runs; });
    main->onUpdate(kOther, [&enabled](CCmdUI* ui) { ui->Enable(enabled); });
    EXPECT_FALSE(main->ExecuteCommand(kOther));
    enabled = true;
    EXPECT_TRUE(main->ExecuteCommand(kOther));
    EXPECT_EQ(runs, 1);

    // Range handlers get the id; a single id wins over a range.
    std::vector<UINT> seen;
    main->onCommandRange(32800, 32810, [&seen](UINT id) { seen.push_back(id); });
    main->onCommand(32805, [&seen] { seen.push_back(1); });
    main->ExecuteCommand(32801);
    main->ExecuteCommand(32805);
    main->ExecuteCommand(32811);
    EXPECT_EQ(seen, (std::vector<UINT>{32801, 1}));
}

TEST_F(CommandRouting, MenuItemsAreUpdatedBeforeTheMenuShows)
{
    main->LoadMenuBar({
        {0,
         QStringLiteral("&View"),
         {{kCmd, QStringLiteral("&Channel Content")},
          {},
          {kOther, QStringLiteral("S&earch")},
          {kUnhandled, QStringLiteral("&Nothing")},
          {0, QStringLiteral("&More"), {{32790, QStringLiteral("Sub item")}}}}},
    });
    int shownCount = 0;
    frame->onCommand(kCmd, [] {});
    frame->onUpdate(kCmd, [&shownCount](CCmdUI* ui) {
        ++shownCount;
        ui->SetText(QStringLiteral("Shown %1").arg(shownCount));
        ui->SetCheck(1);
    });
    bool radio = true;
    view->onCommand(kOther, [] {});
    main->onUpdate(kOther, [&radio](CCmdUI* ui) { ui->SetRadio(radio); });
    app->onCommand(32790, [] {});

    QMenu* menu = main->GetSubMenu(0);
    ASSERT_NE(menu, nullptr);
    QAction* cmd = main->FindCommandAction(kCmd);
    QAction* other = main->FindCommandAction(kOther);
    QAction* unhandled = main->FindCommandAction(kUnhandled);
    ASSERT_TRUE(cmd && other && unhandled);
    EXPECT_EQ(CommandIdOf(cmd), kCmd);
    EXPECT_EQ(cmd->text(), QStringLiteral("&Channel Content"));
    EXPECT_TRUE(unhandled->isEnabled()) << "nothing is evaluated before the menu shows";

    menu->popup(QPoint(10, 10));
    EXPECT_EQ(cmd->text(), QStringLiteral("Shown 1"));
    EXPECT_EQ(std::tuple(cmd->isCheckable(), cmd->isChecked(), cmd->isEnabled()),
              std::tuple(true, true, true));
    EXPECT_TRUE(other->isChecked());
    ASSERT_NE(other->actionGroup(), nullptr);
    EXPECT_TRUE(other->actionGroup()->isExclusive()) << "drawn with a round radio mark";
    EXPECT_FALSE(unhandled->isEnabled()) << "a command nobody handles is disabled";
    menu->hide();
    EXPECT_TRUE(main->DeleteMenuCommand(kUnhandled));
    EXPECT_FALSE(main->DeleteMenuCommand(kUnhandled));
    EXPECT_FALSE(menu->actions().contains(unhandled));
    EXPECT_EQ(main->GetSubMenu(5), nullptr);

    radio = false;
    menu->popup(QPoint(10, 10));
    EXPECT_EQ(cmd->text(), QStringLiteral("Shown 2"));
    EXPECT_FALSE(other->isChecked());
    menu->hide();

    // The sub-menu has its own pass when it opens.
    QMenu* sub = nullptr;
    for (QAction* entry : menu->actions())
        if (entry->menu())
            sub = entry->menu();
    ASSERT_NE(sub, nullptr);
    QAction* subItem = main->FindCommandAction(32790);
    ASSERT_NE(subItem, nullptr);
    app->removeCommand(32790);
    sub->popup(QPoint(10, 10));
    EXPECT_FALSE(subItem->isEnabled());
    sub->hide();

    // Triggering an item runs its command through the route: the view's handler, not main's.
    int viewRuns = 0, mainRuns = 0;
    view->onCommand(kOther, [&viewRuns] { ++viewRuns; });
    main->onCommand(kOther, [&mainRuns] { ++mainRuns; });
    other->trigger();
    EXPECT_EQ(viewRuns, 1);
    EXPECT_EQ(mainRuns, 0);
}

TEST_F(CommandRouting, ToolbarButtonsAreUpdatedWhileIdle)
{
    ASSERT_TRUE(main->CreateToolBar({kCmd, ID_SEPARATOR, kOther, kUnhandled}, QPixmap()));
    bool checked = false;
    QString text = QStringLiteral("Before");
    frame->onCommand(kCmd, [] {});
    frame->onUpdate(kCmd, [&](CCmdUI* ui) {
        ui->SetCheck(checked ? 1 : 0);
        ui->SetText(text);
    });
    main->onCommand(kOther, [] {});
    main->onUpdate(kOther, [&checked](CCmdUI* ui) { ui->Enable(!checked); });

    QAction* cmd = main->FindCommandAction(kCmd);
    QAction* other = main->FindCommandAction(kOther);
    QAction* unhandled = main->FindCommandAction(kUnhandled);

    // Any event makes the program busy; the toolbar follows once the queue is empty.
    checked = true;
    text = QStringLiteral("After");
    QCoreApplication::postEvent(main, new QEvent(QEvent::User));
    EXPECT_TRUE(rhtest::waitFor([&] { return cmd->isChecked(); }));
    EXPECT_EQ(cmd->text(), QStringLiteral("After"));
    EXPECT_FALSE(other->isEnabled());
    EXPECT_FALSE(unhandled->isEnabled());

    checked = false;
    QCoreApplication::postEvent(main, new QEvent(QEvent::User));
    EXPECT_TRUE(rhtest::waitFor([&] { return other->isEnabled(); }));
    EXPECT_FALSE(cmd->isChecked());
    EXPECT_FALSE(cmd->isCheckable()) << "an unchecked item shows no box";

    // A hidden toolbar is not updated.
    int rules = 0;
    main->onUpdate(kOther, [&rules](CCmdUI*) { ++rules; });
    main->ShowControlBar(main->GetToolBar(), 0, 0);
    app->RunIdle();
    EXPECT_EQ(rules, 0);
    main->ShowControlBar(main->GetToolBar(), 1, 0);
    app->RunIdle();
    EXPECT_EQ(rules, 1);
}

TEST_F(CommandRouting, CommandPostedToTheMainFrameHandleRunsWhenTheLoopRuns)
{
    int runs = 0;
    frame->onCommand(kCmd, [&runs] { ++runs; });
    const HWND handle = main->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(handle));
    ASSERT_TRUE(PostMessage(handle, WM_COMMAND, kCmd, 0));
    EXPECT_EQ(runs, 0) << "posted, not sent";
    EXPECT_TRUE(rhtest::waitFor([&] { return runs == 1; }));

    // Sent: at once, answering whether a handler ran.
    EXPECT_EQ(SendMessage(handle, WM_COMMAND, kCmd, 0), 1);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(SendMessage(handle, WM_COMMAND, kUnhandled, 0), 0);
}

TEST_F(CommandRouting, ChildFrameAndViewHandlesTakeCommandsAndPrivateMessages)
{
    std::vector<std::string> calls;
    handleEverywhere(calls);
    SendMessage(frame->GetSafeHwnd(), WM_COMMAND, kCmd, 0);
    SendMessage(view->GetSafeHwnd(), WM_COMMAND, kCmd, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"view", "view"}));

    constexpr UINT kSelect = WM_USER + 2000;
    frame->onMessage(kSelect, [](WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); });
    EXPECT_EQ(SendMessage(frame->GetSafeHwnd(), kSelect, 40, 2), 42);
    EXPECT_EQ(GetParent(view->GetSafeHwnd()), frame->GetSafeHwnd());
}

TEST_F(CommandRouting, ContextMenuCommandsStartAtTheirView)
{
    // A second window is active; the first window's view still gets its own menu's commands.
    CDocument* second = docTemplate->OpenDocumentFile();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(main->MDIGetActive(), frame);

    std::vector<std::string> calls;
    view->onCommand(kCmd, [&calls] { calls.push_back("view"); });
    second->onCommand(kCmd, [&calls] { calls.push_back("active document"); });
    bool enableOther = false;
    doc->onCommand(kOther, [&calls] { calls.push_back("own document"); });
    doc->onUpdate(kOther, [&enableOther](CCmdUI* ui) { ui->Enable(enableOther); });

    std::unique_ptr<QMenu> menu(BuildCommandMenu(
        {{kCmd, QStringLiteral("&Open")}, {}, {kOther, QStringLiteral("&Other")}}, view, nullptr));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions.at(1)->isSeparator());
    menu->popup(QPoint(5, 5));
    EXPECT_TRUE(actions.at(0)->isEnabled());
    EXPECT_FALSE(actions.at(2)->isEnabled());
    menu->hide();

    actions.at(0)->trigger();
    actions.at(2)->trigger(); // disabled: nothing happens
    enableOther = true;
    menu->popup(QPoint(5, 5));
    EXPECT_TRUE(actions.at(2)->isEnabled());
    actions.at(2)->trigger();
    menu->hide();
    main->ExecuteCommand(kCmd); // the menu bar's commands go to the active window
    EXPECT_EQ(calls, (std::vector<std::string>{"view", "own document", "active document"}));
}

} // namespace
