// The main frame's bars: toolbar pictures, status bar panes, showing and hiding bars, the
// saved bar layout, window placement, and closing.

#include "src/platform/settingsstore.h"
#include "tests/framework/framework_fixture.h"

#include <QAction>
#include <QDockWidget>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStatusTipEvent>
#include <QToolBar>

using namespace fwtest;

namespace
{
constexpr UINT kPicturePane = 162;

class MainFrame : public FrameworkTest
{
protected:
    // The three bars of the program's main window: toolbar, status bar and a docked bar.
    void buildBars(CMDIFrameWnd* frame)
    {
        ASSERT_TRUE(frame->CreateToolBar({32795, 32794, ID_SEPARATOR, 32824}, QPixmap()));
        ASSERT_TRUE(frame->CreateStatusBar(
            {ID_SEPARATOR, kPicturePane, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}));
        auto* dock = new QDockWidget(QStringLiteral("Navigation"), frame);
        dock->setObjectName(QStringLiteral("NavigationBar"));
        dock->setWidget(new QLabel(QStringLiteral("items")));
        ASSERT_TRUE(frame->AddDockBar(1, dock, Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea,
                                      Qt::LeftDockWidgetArea, 150));
    }
};

TEST_F(MainFrame, ToolbarButtonsGetTheirCellOfTheStripWithTheTransparentColourCleared)
{
    QImage strip(32, 15, QImage::Format_RGB32);
    strip.fill(QColor(192, 192, 192));
    QPainter painter(&strip);
    painter.fillRect(QRect(4, 4, 8, 8), Qt::red);   // the first button
    painter.fillRect(QRect(20, 4, 8, 8), Qt::blue); // the second one
    painter.end();

    ASSERT_TRUE(
        main->CreateToolBar({32795, ID_SEPARATOR, 32794, 32824}, QPixmap::fromImage(strip)));
    EXPECT_FALSE(main->CreateToolBar({32795}, QPixmap())) << "one toolbar";
    QToolBar* bar = main->GetToolBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(main->GetControlBar(AFX_IDW_TOOLBAR), bar);
    const QList<QAction*> actions = bar->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_TRUE(actions.at(1)->isSeparator());
    EXPECT_EQ(CommandIdOf(actions.at(2)), 32794u);

    const QImage first = actions.at(0)->icon().pixmap(QSize(16, 15)).toImage();
    const QImage second = actions.at(2)->icon().pixmap(QSize(16, 15)).toImage();
    EXPECT_EQ(first.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(first.pixelColor(0, 0).alpha(), 0) << "the button face colour is transparent";
    EXPECT_EQ(second.pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_TRUE(actions.at(3)->icon().isNull()) << "the strip has no third cell";
}

TEST_F(MainFrame, StatusBarPanesByIdAndKeyStatePanesWhileTheLockIsOn)
{
    bool caps = true;
    CStatusBar::SetKeyStateProvider([&caps](UINT id) { return id == ID_INDICATOR_CAPS && caps; });
    buildBars(main);
    CStatusBar* status = main->GetStatusBar();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetCount(), 5);
    EXPECT_EQ(status->CommandToIndex(kPicturePane), 1);
    EXPECT_EQ(status->GetItemID(2), ID_INDICATOR_CAPS);
    EXPECT_EQ(status->CommandToIndex(4711), -1);

    main->SetMessageText(QStringLiteral("Ready"));
    EXPECT_EQ(status->GetPaneText(ID_SEPARATOR), QStringLiteral("Ready"));
    EXPECT_FALSE(status->SetPaneText(4711, QStringLiteral("x")));

    QPixmap secure(16, 15);
    secure.fill(Qt::green);
    ASSERT_TRUE(status->SetPanePicture(kPicturePane, secure));
    EXPECT_EQ(status->GetPaneWidth(kPicturePane), 16);
    EXPECT_FALSE(status->GetPanePicture(kPicturePane).isNull());
    QPixmap wide(24, 15);
    wide.fill(Qt::gray);
    status->SetPanePicture(kPicturePane, wide);
    EXPECT_EQ(status->GetPaneWidth(kPicturePane), 24);

    // A very long message does not make the window wider.
    main->show();
    QCoreApplication::sendPostedEvents();
    const int width = main->width();
    main->SetMessageText(QString(2000, QLatin1Char('x')));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(main->width(), width);
    EXPECT_LT(main->minimumSizeHint().width(), 2000);

    EXPECT_FALSE(status->SetIndicators({ID_SEPARATOR, 5, 5})) << "an id twice";
    EXPECT_EQ(status->GetCount(), 5);

    app->RunIdle();
    EXPECT_EQ(status->GetPaneText(ID_INDICATOR_CAPS), QStringLiteral("CAP"));
    EXPECT_EQ(status->GetPaneText(ID_INDICATOR_NUM), QString());
    caps = false;
    app->RunIdle();
    EXPECT_EQ(status->GetPaneText(ID_INDICATOR_CAPS), QString());
    EXPECT_GT(status->paneLabel(ID_INDICATOR_SCRL)->minimumWidth(), 0)
        << "a blank indicator keeps its width";
}

TEST_F(MainFrame, MenuTextWinsOverTheToolbarStandInAndCommandHelpCoversTheMessagePane)
{
    SetCommandStringProvider([](UINT id) {
        return id == 32795 ? QStringLiteral("Update the channel now\nUpdate Now") : QString();
    });
    buildBars(main);
    QAction* update = main->FindCommandAction(32795);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->text(), QStringLiteral("Update Now"));
    main->LoadMenuBar({{QStringLiteral("&Channel"), {{32795, QStringLiteral("&Update Now")}}}});
    EXPECT_EQ(update->text(), QStringLiteral("&Update Now"));
    EXPECT_EQ(update->toolTip(), QStringLiteral("Update Now"));
    EXPECT_EQ(CommandHelpText(32796), QString());
    main->show();
    main->SetMessageText(QStringLiteral("Ready"));

    // What a menu item or button does while the pointer rests on it.
    update->showStatusText(main);
    EXPECT_EQ(main->GetStatusBar()->currentMessage(), QStringLiteral("Update the channel now"));
    EXPECT_TRUE(main->GetStatusBar()->paneLabel(ID_SEPARATOR)->isHidden());
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(main, &leave);
    EXPECT_FALSE(main->GetStatusBar()->paneLabel(ID_SEPARATOR)->isHidden());
    EXPECT_EQ(main->GetStatusBar()->GetPaneText(ID_SEPARATOR), QStringLiteral("Ready"));
}

TEST_F(MainFrame, BarCommandsShowAndHideTheBars)
{
    buildBars(main);
    QWidget* toolbar = main->GetControlBar(AFX_IDW_TOOLBAR);
    QWidget* status = main->GetControlBar(AFX_IDW_STATUS_BAR);
    ASSERT_TRUE(toolbar && status);
    const auto toolbarMark = [&] {
        CCmdUI ui(ID_VIEW_TOOLBAR);
        main->UpdateCmdUI(&ui);
        return ui.checkState();
    };
    EXPECT_EQ(toolbarMark(), 1);
    EXPECT_TRUE(main->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(CMDIFrameWnd::IsBarVisible(toolbar));
    EXPECT_EQ(toolbarMark(), 0);

    EXPECT_TRUE(main->ExecuteCommand(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(CMDIFrameWnd::IsBarVisible(status));
    main->ShowControlBar(main->GetControlBar(1), 0, 1);
    EXPECT_FALSE(CMDIFrameWnd::IsBarVisible(main->GetControlBar(1)));

    // A frame without bars disables the commands.
    CMDIFrameWnd bare;
    bare.m_bAutoDelete = false;
    EXPECT_FALSE(bare.IsCommandEnabled(ID_VIEW_TOOLBAR));
}

TEST_F(MainFrame, BarStateRoundTripRestoresHiddenBarsAndTheirSides)
{
    buildBars(main);
    const UINT bars[] = {AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, 1};
    for (UINT bar : bars)
        main->ShowControlBar(main->GetControlBar(bar), 0, 1);
    ASSERT_TRUE(main->SaveBarState(QStringLiteral("Bar State")));

    EXPECT_TRUE(platform::SettingsKey::open(HKEY_CURRENT_USER,
                                            "Software\\Vantrel\\Vantrel\\Settings\\Readhall")
                    .hasValue("Bar State"));

    // The next start: a new main frame whose bars are all shown at first.
    CMDIFrameWnd next;
    next.m_bAutoDelete = false;
    buildBars(&next);
    ASSERT_TRUE(CMDIFrameWnd::IsBarVisible(next.GetControlBar(AFX_IDW_TOOLBAR)));
    ASSERT_TRUE(next.LoadBarState(QStringLiteral("Bar State")));
    for (UINT bar : bars)
        EXPECT_FALSE(CMDIFrameWnd::IsBarVisible(next.GetControlBar(bar))) << bar;

    // And shown again.
    next.ShowControlBar(next.GetControlBar(AFX_IDW_TOOLBAR), 1, 0);
    next.ShowControlBar(next.GetControlBar(1), 1, 0);
    const QByteArray state = next.SaveBarStateBytes();
    ASSERT_TRUE(main->RestoreBarStateBytes(state));
    EXPECT_TRUE(CMDIFrameWnd::IsBarVisible(main->GetControlBar(AFX_IDW_TOOLBAR)));
    EXPECT_TRUE(CMDIFrameWnd::IsBarVisible(main->GetControlBar(1)));
    EXPECT_EQ(main->dockWidgetArea(static_cast<QDockWidget*>(main->GetControlBar(1))),
              Qt::LeftDockWidgetArea);

    // A docked bar moved to the other side is put back there.
    next.addDockWidget(Qt::RightDockWidgetArea, static_cast<QDockWidget*>(next.GetControlBar(1)));
    ASSERT_TRUE(main->RestoreBarStateBytes(next.SaveBarStateBytes()));
    EXPECT_EQ(main->dockWidgetArea(static_cast<QDockWidget*>(main->GetControlBar(1))),
              Qt::RightDockWidgetArea);
}

TEST_F(MainFrame, DamagedOrMissingBarStateChangesNothing)
{
    buildBars(main);
    EXPECT_FALSE(main->LoadBarState(QStringLiteral("Bar State"))) << "nothing saved yet";
    EXPECT_FALSE(main->RestoreBarStateBytes(QByteArray("not a bar layout")));
    QByteArray truncated = main->SaveBarStateBytes();
    truncated.chop(5);
    EXPECT_FALSE(main->RestoreBarStateBytes(truncated));
    QByteArray corrupted = main->SaveBarStateBytes();
    corrupted[corrupted.size() - 3] = static_cast<char>(corrupted[corrupted.size() - 3] ^ 0x5A);
    corrupted[20] = static_cast<char>(corrupted[20] ^ 0x77);
    main->RestoreBarStateBytes(corrupted); // may or may not be accepted; must not crash
    EXPECT_TRUE(CMDIFrameWnd::IsBarVisible(main->GetControlBar(AFX_IDW_TOOLBAR)));
    EXPECT_TRUE(CMDIFrameWnd::IsBarVisible(main->GetControlBar(AFX_IDW_STATUS_BAR)));

    app.reset();
    EXPECT_FALSE(main->SaveBarState(QStringLiteral("Bar State"))) << "no application object";
}

TEST_F(MainFrame, PlacementReportsNormalRectangleAndShowState)
{
    main->setGeometry(QRect(50, 80, 640, 480));
    ShowWidget(main, SW_SHOWNORMAL);
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(GetWindowPlacement(main, &placement));
    EXPECT_EQ(placement.showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(placement.rcNormalPosition.size(), QSize(640, 480));

    ShowWidget(main, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(GetWindowPlacement(main, &placement));
    EXPECT_EQ(placement.showCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(placement.rcNormalPosition.size(), QSize(640, 480))
        << "the restored size, not the maximised one";

    WINDOWPLACEMENT restore;
    restore.showCmd = SW_SHOWNORMAL;
    restore.rcNormalPosition = QRect(10, 20, 500, 300);
    ASSERT_TRUE(SetWindowPlacement(main, restore));
    EXPECT_FALSE(main->isMaximized());
    EXPECT_EQ(main->size(), QSize(500, 300));

    ShowWidget(main, SW_SHOWMINIMIZED);
    EXPECT_TRUE(main->isMinimized());
    ShowWidget(main, SW_HIDE);
    EXPECT_TRUE(main->isHidden());
    EXPECT_FALSE(GetWindowPlacement(nullptr, &placement));
}

TEST_F(MainFrame, CloseRequestDestroysChildFramesAndDocuments)
{
    CDocTemplate* docTemplate = addTemplate();
    ASSERT_NE(docTemplate->OpenDocumentFile(), nullptr);
    ASSERT_NE(docTemplate->OpenDocumentFile(), nullptr);
    const HWND handle = main->GetSafeHwnd();
    SendMessage(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(docTemplate->GetDocumentCount(), 0u);
    EXPECT_TRUE(main->GetChildFrames().empty());
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(main->isHidden());

    // A frame that refuses to close stays.
    struct Refusing : CMDIFrameWnd {
        void OnClose() override { ++closes; }
        int closes = 0;
    } refusing;
    refusing.m_bAutoDelete = false;
    refusing.close();
    EXPECT_EQ(refusing.closes, 1);
    EXPECT_TRUE(IsWindow(refusing.GetSafeHwnd()));
}

} // namespace
