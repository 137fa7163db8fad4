#pragma once
// Helpers of the application tests: a recording of the engine libraries' start and stop
// calls, a main frame that records the commands it gets, an application object set up to
// start without an event loop, and for the main frame tests an application object with the
// program's window kinds, the engine running on the test's data directory, and main frames
// created as the program creates them and destroyed at the end of the test.

#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"
#include "src/framework/mainframe.h"
#include "tests/shared/shared_fixture.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class QAction;

namespace apptest
{

// Records the library calls in order ("engctl start 1", "chandir start", "popsum start",
// "popsum stop", "chandir stop", "engctl stop").
struct RecordingEngine {
    QStringList calls;
    bool engineStarts = true;
    QString status; // what the engine says about itself
    EngineLibraryCalls libraryCalls();
};

// A main frame with the program's window class that records the menu commands it receives.
class RecordingFrame : public CMDIFrameWnd
{
    Q_OBJECT
public:
    explicit RecordingFrame(const QString& className);
    std::vector<UINT> commands;
};

// An application object for one test. The real libraries are used unless a recording is
// given; the main frame records its commands unless realFrame is set.
class TestApp
{
public:
    explicit TestApp(RecordingEngine& engine);
    TestApp(); // the real engine and the program's main frame
    ~TestApp();

    CReadhallApp* operator->() { return m_app.get(); }
    CReadhallApp& app() { return *m_app; }
    BOOL start(const QString& commandLine);
    int exit();
    RecordingFrame* frame() const;

private:
    std::unique_ptr<CReadhallApp> m_app;
};

// Starts the program as a person does, closing a dialog it opens (Quick Setup on the first
// start); the main frame once shown, or null.
CMDIFrameWnd* startShown(TestApp& app);

} // namespace apptest

namespace mftest
{

using namespace sharedtest;

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The application object, with the seven window kinds registered.
    CReadhallApp& app() { return *m_app; }
    // A main frame created as the program does (hidden); fails the test when creation fails.
    CMainFrame* createFrame();
    // Destroys a frame through its close path (as Exit does when nothing stops it).
    void destroyFrame(CMainFrame* frame);
    // Evaluates the command's rule along the frame's route onto its action and returns it.
    QAction* evaluate(CMainFrame* frame, UINT id);

    std::unique_ptr<CReadhallApp> m_app;
    std::vector<QPointer<CMainFrame>> m_frames;
};

} // namespace mftest
