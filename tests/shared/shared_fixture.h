#pragma once
// Helpers of the program's widget tests: reading and writing the current user's settings as a
// test sets them up or checks them, rendering a widget, and working off posted messages.

#include "src/platform/wintypes.h"

#include <QString>
#include <ostream>

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

} // namespace sharedtest
