#pragma once
// Helpers of the application tests: a recording of the engine libraries' start and stop
// calls, a main frame that records the commands it gets, and an application object set up
// to start without an event loop.

#include "src/app/readhallapp.h"
#include "src/framework/mainframe.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace apptest
{

// Records the library calls in order ("engctl start 1", "chandir start", "popsum start",
// "popsum stop", "chandir stop", "engctl stop").
struct RecordingEngine {
    QStringList calls;
    bool engineStarts = true;
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

} // namespace apptest
