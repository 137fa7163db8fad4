// Documents, views, templates and child frames: update hints, opening a window from its
// template, activation, and closing a window with its document.

#include "tests/framework/framework_fixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

using namespace fwtest;

namespace
{

TEST(UpdateAllViews, ReachesEveryViewButTheSenderWithTheHint)
{
    TestDoc doc;
    TestView a, b, c;
    for (TestView* view : {&a, &b, &c})
        doc.AddView(view);
    CObject hint;
    doc.UpdateAllViews(&b, 11, &hint);
    EXPECT_TRUE(b.updates.empty());
    for (TestView* view : {&a, &c})
        EXPECT_EQ(view->updates, (std::vector<UpdateCall>{{&b, 11, &hint}}));

    doc.UpdateAllViews(nullptr, 4);
    EXPECT_EQ(b.updates.size(), 1u);
    EXPECT_EQ(a.updates.back().object, nullptr);
}

TEST(UpdateAllViews, AViewRemovedDuringTheUpdateIsSkipped)
{
    TestDoc doc;
    TestView a, c;
    auto* b = new TestView;
    for (TestView* view : {&a, b, &c})
        doc.AddView(view);
    // The first view rebuilds the panes: the second goes away, a new one comes.
    TestView added;
    a.onUpdateHook = [&](LPARAM) {
        delete b;
        doc.AddView(&added);
    };
    doc.UpdateAllViews(nullptr, 1);
    EXPECT_EQ(c.updates.size(), 1u);
    EXPECT_TRUE(added.updates.empty()) << "a view added during the pass is not in it";
    EXPECT_EQ(doc.GetViews().size(), 3u);
}

TEST(UpdateAllViews, ViewsLeaveTheirDocumentWhenDeletedAndMoveBetweenDocuments)
{
    TestDoc first, second;
    auto* view = new TestView;
    first.AddView(view);
    EXPECT_EQ(view->GetDocument(), &first);
    second.AddView(view);
    EXPECT_TRUE(first.GetViews().empty());
    EXPECT_EQ(view->GetDocument(), &second);
    delete view;
    EXPECT_TRUE(second.GetViews().empty());
}

using Templates = FrameworkTest;

TEST_F(Templates, OpenCreatesDocumentFrameAndFirstViewAndListsTheDocument)
{
    CDocTemplate* docTemplate = addTemplate(129, QStringLiteral("ChannelDoc"));

    CDocument* doc = docTemplate->OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(docTemplate->GetDocuments(), std::vector<CDocument*>{doc});
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("ChannelDoc1"));

    ASSERT_EQ(doc->GetViews().size(), 1u);
    auto* view = dynamic_cast<TestView*>(doc->GetFirstView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->updates, (std::vector<UpdateCall>{{nullptr, 0, nullptr}}))
        << "the first view got its initial update";

    CMDIChildWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(main->GetChildFrames(), std::vector<CMDIChildWnd*>{frame});
    EXPECT_EQ(main->MDIGetActive(), frame);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(main->GetActiveDocument(), doc);
    ASSERT_NE(frame->subWindow(), nullptr);
    EXPECT_FALSE(frame->subWindow()->isHidden());
    EXPECT_EQ(doc->GetFrames(), std::vector<CMDIChildWnd*>{frame});

    CDocument* second = docTemplate->OpenDocumentFile();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(docTemplate->GetDocuments(), (std::vector<CDocument*>{doc, second}));
    EXPECT_EQ(second->GetTitle(), QStringLiteral("ChannelDoc2"));
    EXPECT_EQ(main->GetActiveDocument(), second);
}

TEST_F(Templates, AnOpenThatFailsLeavesNothingBehind)
{
    struct BrokenFrame : CMDIChildWnd {
        BOOL OnCreateClient(CCreateContext*) override { return 0; }
    };
    CDocTemplate* plain = addTemplate();
    EXPECT_EQ(plain->OpenDocumentFile(QStringLiteral("/tmp/x")), nullptr); // no files
    CDocTemplate* failingDoc = addTemplate(130, QStringLiteral("SearchDoc"), [] {
        auto* doc = new TestDoc;
        doc->failNew = true;
        return doc;
    });
    auto* brokenFrame = new CDocTemplate(
        131, QStringLiteral("AlertDoc"), [] { return new TestDoc; }, [] { return new BrokenFrame; },
        [] { return new TestView; });
    app->AddDocTemplate(brokenFrame);
    for (CDocTemplate* docTemplate : {failingDoc, brokenFrame}) {
        EXPECT_EQ(docTemplate->OpenDocumentFile(), nullptr);
        EXPECT_EQ(docTemplate->GetDocumentCount(), 0u);
    }
    EXPECT_TRUE(main->GetChildFrames().empty());
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    flushDeletes();
    EXPECT_TRUE(main->MDIClient()->subWindowList().isEmpty());
    app->m_pMainWnd = nullptr; // no main frame to open in
    EXPECT_EQ(plain->OpenDocumentFile(), nullptr);
    EXPECT_EQ(plain->GetDocumentCount(), 0u);
}

// However a window is closed (its close button, a posted message, its sub-window deleted), its
// document and frame go with it and the remaining window becomes the active one.
TEST_F(Templates, AClosedOrDeletedWindowTakesItsDocumentAlong)
{
    CDocTemplate* docTemplate = addTemplate();
    CDocument* first = docTemplate->OpenDocumentFile();
    ASSERT_NE(first, nullptr);
    for (const char* way : {"close button", "posted close", "sub-window deleted"}) {
        SCOPED_TRACE(way);
        QPointer<CDocument> second = docTemplate->OpenDocumentFile();
        ASSERT_NE(second, nullptr);
        CMDIChildWnd* frame = main->MDIGetActive();
        const HWND handle = frame->GetSafeHwnd();
        if (way[0] == 'c') {
            frame->subWindow()->close();
        } else if (way[0] == 'p') {
            ASSERT_TRUE(PostMessage(handle, WM_CLOSE, 0, 0));
            EXPECT_EQ(docTemplate->GetDocumentCount(), 2u);
        } else {
            delete frame->subWindow();
        }
        EXPECT_TRUE(rhtest::waitFor([&] { return docTemplate->GetDocumentCount() == 1; }));
        EXPECT_EQ(docTemplate->GetFirstDocument(), first);
        EXPECT_FALSE(IsWindow(handle));
        EXPECT_EQ(main->GetChildFrames().size(), 1u);
        EXPECT_EQ(main->MDIGetActive(), first->GetFirstView()->GetParentFrame());
        flushDeletes();
        EXPECT_TRUE(rhtest::waitFor([&] { return second.isNull(); }));
    }
}

TEST_F(Templates, ADocumentThatRefusesKeepsItsFrameElseClosingDestroysTheFrames)
{
    CDocTemplate* docTemplate = addTemplate();
    auto* doc = static_cast<TestDoc*>(docTemplate->OpenDocumentFile());
    ASSERT_NE(doc, nullptr);
    doc->allowClose = false;
    auto* frame = static_cast<TestFrame*>(main->MDIGetActive());
    frame->OnClose();
    EXPECT_EQ(docTemplate->GetDocumentCount(), 1u);
    EXPECT_FALSE(frame->isDestroying());
    doc->OnCloseDocument();
    EXPECT_EQ(frame->destroyCalls, 1);
    EXPECT_TRUE(main->GetChildFrames().empty());
    EXPECT_EQ(docTemplate->GetDocumentCount(), 0u);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

TEST_F(Templates, ActivationIsToldToTheFramesAndNewWindowsFollowAMaximisedOne)
{
    CDocTemplate* docTemplate = addTemplate();
    CDocument* doc = docTemplate->OpenDocumentFile();
    auto* first = static_cast<TestFrame*>(main->MDIGetActive());
    docTemplate->OpenDocumentFile();
    auto* second = static_cast<TestFrame*>(main->MDIGetActive());
    ASSERT_NE(first, second);
    EXPECT_EQ(first->activations, (std::vector<bool>{true, false}));
    EXPECT_EQ(second->activations, (std::vector<bool>{true}));

    first->MDIActivate();
    EXPECT_EQ(main->MDIGetActive(), first);
    EXPECT_EQ(first->activations.back(), true);
    EXPECT_EQ(second->activations.back(), false);
    second->BringToTop();
    EXPECT_EQ(main->MDIGetActive(), second);

    doc->SetTitle(QStringLiteral("Alerts"));
    EXPECT_EQ(first->subWindow()->windowTitle(), QStringLiteral("Alerts"));
    second->ActivateFrame(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(second->subWindow()->isMaximized());
    docTemplate->OpenDocumentFile();
    EXPECT_TRUE(main->MDIGetActive()->subWindow()->isMaximized());
}

TEST_F(Templates, ActiveViewFollowsFocusAndIsTold)
{
    class TwoViewFrame : public CMDIChildWnd
    {
    public:
        BOOL OnCreateClient(CCreateContext* context) override
        {
            auto* splitter = new CSplitterWnd;
            splitter->CreateStatic(this, 2, 1);
            return splitter->CreateView(0, 0, context->m_pNewViewClass, QSize(0, 50), context) &&
                   splitter->CreateView(
                       1, 0, [] { return new TestView; }, QSize(0, 50), context);
        }
    };
    auto* docTemplate = new CDocTemplate(
        132, QStringLiteral("StatusDoc"), [] { return new TestDoc; },
        [] { return new TwoViewFrame; }, [] { return new TestView; });
    app->AddDocTemplate(docTemplate);
    main->show();
    CDocument* doc = docTemplate->OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    auto* top = static_cast<TestView*>(doc->GetViews()[0]);
    auto* bottom = static_cast<TestView*>(doc->GetViews()[1]);
    CMDIChildWnd* frame = main->MDIGetActive();
    EXPECT_EQ(frame->GetActiveView(), top) << "the first pane starts active";
    EXPECT_EQ(top->updates.size(), 1u);
    EXPECT_EQ(bottom->updates.size(), 1u) << "every pane gets its initial update";

    EXPECT_EQ(frame->GetViews(), (std::vector<CView*>{top, bottom})) << "in the order made";

    frame->SetActiveView(bottom);
    EXPECT_EQ(frame->GetActiveView(), bottom);
    EXPECT_EQ(top->activations, (std::vector<bool>{true, false}));
    EXPECT_EQ(bottom->activations, (std::vector<bool>{true}));
    EXPECT_EQ(main->CommandRoute().front(), bottom);

    top->setFocusPolicy(Qt::StrongFocus);
    top->setFocus();
    EXPECT_TRUE(rhtest::waitFor([&] { return frame->GetActiveView() == top; }));
}

TEST_F(Templates, DeletingAFrameWhoseViewHasTheFocusLeavesTheHalfGoneFrameAlone)
{
    CDocTemplate* docTemplate = addTemplate();
    main->show();
    CDocument* doc = docTemplate->OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    CMDIChildWnd* frame = main->MDIGetActive();
    CView* view = doc->GetViews().front();
    view->setFocusPolicy(Qt::StrongFocus);
    view->setFocus();
    ASSERT_TRUE(rhtest::waitFor([&] { return view->hasFocus(); }));

    // The view loses the focus only once its frame is half destroyed; the frame takes no part
    // in that focus change (a sanitizer build reports a call on a frame that is no more).
    QPointer<QMdiSubWindow> sub = frame->subWindow();
    delete frame;
    EXPECT_EQ(docTemplate->GetDocumentCount(), 0u);
    EXPECT_TRUE(main->GetChildFrames().empty());
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    delete sub;
}

TEST_F(Templates, AShownMainFrameGoesWithAWindowThatIsNoFrame)
{
    // Hiding the windows of a main frame that is being destroyed activates them one by one;
    // the half-destroyed main frame is not told.
    CDocTemplate* docTemplate = addTemplate();
    main->show();
    ASSERT_NE(docTemplate->OpenDocumentFile(), nullptr);
    QPointer<QMdiSubWindow> plain = main->MDIClient()->addSubWindow(new QWidget);
    plain->show();
    ASSERT_TRUE(rhtest::waitFor([&] { return plain->isVisible(); }));
    delete main;
    main = nullptr;
    EXPECT_TRUE(plain.isNull());
    EXPECT_EQ(docTemplate->GetDocumentCount(), 0u);
}

} // namespace
