#pragma once
// Helpers of the main frame tests: an application object with the program's window kinds, the
// engine running on the test's data directory, and main frames created as the program
// creates them and destroyed at the end of the test.

#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"

#include <QPointer>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

class QAction;
class QImage;
class QWidget;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace mftest
{

// Writes a 32-bit number or a text into the current user's settings.
void setNumber(const QString& keyPath, const QString& name, DWORD value);
void setText(const QString& keyPath, const QString& name, const QString& value);
// Reads one back; fallback when it is absent.
DWORD storedNumber(const QString& keyPath, const QString& name, DWORD fallback = 0xDEADBEEF);
bool hasValue(const QString& keyPath, const QString& name);
QString readhallKey(); // Software\Vantrel\Vantrel\Settings\Readhall
QString layoutKey();   // Software\Vantrel\Vantrel\Layout

// Renders a widget (and its children) into an image of its size.
QImage render(QWidget* widget);

// Runs the event loop until the posted messages and events queued so far are delivered.
void drainEvents();

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
