#pragma once
// Helpers of the application tests: recorded engine libraries and main frame commands, an
// application object started without an event loop, and a fixture for real main frames.

#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/shared/windowkinds.h"
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

// A channel directory document that counts what it is asked to do.
class TestDirectoryDoc : public CDocument, public CDirectoryReloadTarget
{
public:
    void ReloadDirectory(int flag) override { reloads.push_back(flag); }
    int CheckDirectoryChanged() override
    {
        ++checks;
        return changed;
    }
    std::vector<int> reloads;
    int checks = 0;
    int changed = 0;
};

// An application object for one test: with a recording given, recorded libraries and a
// recording main frame; without, the real ones.
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

// Writes a file, making its folder first; false when it cannot be written.
bool writeFile(const QString& path, const QByteArray& contents = {});

// Starts the program as a person does, closing a dialog it opens (Quick Setup on the first
// start); the main frame once shown, or null.
CMDIFrameWnd* startShown(TestApp& app);

} // namespace apptest

namespace mftest
{

using namespace sharedtest;
using apptest::writeFile;

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the engine on the test's data, its worker downloading only when asked.
    static bool startEngine(bool withWorker = false);
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

// The text of the status bar's message pane.
QString statusText(CMainFrame* frame);

} // namespace mftest
