#pragma once
// Helpers of the program's widget tests: reading and writing the current user's settings as a
// test sets them up or checks them, rendering a widget, and working off posted messages.

#include "src/platform/wintypes.h"

#include <QObject>
#include <QString>
#include <memory>
#include <ostream>

class CDocTemplate;
class CMDIChildWnd;
class CMDIFrameWnd;
class CWinApp;
class QImage;
class QWidget;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace sharedtest
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

// A shown main frame of 1000 by 700 under a plain application object, in which window kinds
// open through their templates; the windows close and the frame goes with the host.
class FrameHost
{
public:
    FrameHost();
    ~FrameHost();
    CMDIFrameWnd* main() const { return m_main.get(); }
    // Opens a window of the kind and answers its frame as F (null when it did not open).
    template <class F> F* open(CDocTemplate& kind) { return qobject_cast<F*>(openFrame(kind)); }

private:
    CMDIChildWnd* openFrame(CDocTemplate& kind);
    std::unique_ptr<CWinApp> m_app;
    std::unique_ptr<CMDIFrameWnd> m_main;
};

} // namespace sharedtest
