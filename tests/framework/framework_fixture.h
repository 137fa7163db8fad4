#pragma once
// Small documents, views and frames for the framework's tests, and a fixture with an
// application object and a main frame.

#include "src/framework/framework.h"
#include "tests/support/testenv.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace fwtest
{

struct UpdateCall {
    CView* sender;
    LPARAM hint;
    CObject* object;
    bool operator==(const UpdateCall& o) const
    {
        return sender == o.sender && hint == o.hint && object == o.object;
    }
};

class TestView : public CView
{
public:
    TestView() : CView(QStringLiteral("TestView")) {}
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override
    {
        updates.push_back({sender, hint, object});
        if (onUpdateHook)
            onUpdateHook(hint);
    }
    void OnActivateView(BOOL activate, CView*, CView*) override
    {
        activations.push_back(activate != 0);
    }
    std::vector<UpdateCall> updates;
    std::vector<bool> activations;
    std::function<void(LPARAM)> onUpdateHook;
};

class TestDoc : public CDocument
{
public:
    BOOL OnNewDocument() override { return failNew ? 0 : CDocument::OnNewDocument(); }
    BOOL CanCloseFrame(CMDIChildWnd*) override { return allowClose ? 1 : 0; }
    bool failNew = false;
    bool allowClose = true;
};

class TestFrame : public CMDIChildWnd
{
public:
    TestFrame() : CMDIChildWnd(QStringLiteral("TestFrame")) {}
    void OnMDIActivate(BOOL activate) override { activations.push_back(activate != 0); }
    void OnDestroy() override { ++destroyCalls; }
    std::vector<bool> activations;
    int destroyCalls = 0;
};

inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// An application object named "Readhall" with its profile under
// Software\Vantrel\Vantrel\Settings\Readhall, and a main frame of 800x600 that is not shown.
class FrameworkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = std::make_unique<CWinApp>(QStringLiteral("Readhall"));
        app->SetRegistryKey(QStringLiteral("Vantrel\\Vantrel\\Settings"));
        main = new CMDIFrameWnd(QStringLiteral("TestMainFrame"));
        main->m_bAutoDelete = false;
        main->resize(800, 600);
        app->m_pMainWnd = main;
    }
    void TearDown() override
    {
        delete main;
        app.reset();
        CStatusBar::SetKeyStateProvider(nullptr);
        SetCommandStringProvider(nullptr);
        flushDeletes();
    }

    // A template of TestDoc, TestFrame and TestView registered with the application.
    CDocTemplate* addTemplate(UINT id = 129, const QString& name = QStringLiteral("TestDoc"),
                              std::function<CDocument*()> docFactory = nullptr)
    {
        if (!docFactory)
            docFactory = [] { return new TestDoc; };
        auto* docTemplate = new CDocTemplate(
            id, name, docFactory, [] { return new TestFrame; }, [] { return new TestView; });
        app->AddDocTemplate(docTemplate);
        return docTemplate;
    }

    std::unique_ptr<CWinApp> app;
    CMDIFrameWnd* main = nullptr;
};

} // namespace fwtest
