#pragma once
// Modal message boxes with the desktop's flags and answers. In test programs
// (READHALL_TESTING set) no box is shown: the answer comes from a queue that the test fills,
// else the box's default button, and every question is recorded.

#include "src/platform/wintypes.h"

#include <QString>
#include <vector>

class QWidget;

// Buttons.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_TYPEMASK = 0x000F;
// Icons.
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr UINT MB_ICONMASK = 0x00F0;
// Default button (the first when none is given).
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_DEFMASK = 0x0F00;
// Modality: system-modal boxes are application-modal and stay on top.
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box and returns the button pressed (closing the box counts as Cancel, or No
// for a Yes/No box).
int MessageBox(QWidget* parent, const QString& text, const QString& caption, UINT flags);

namespace platform
{

struct MessageBoxQuestion {
    QString text;
    QString caption;
    UINT flags = 0;
};

// The test hook. Answers queued here are returned, first in first out, in place of a person.
void queueMessageBoxAnswer(int answer);
// Every box asked for since the last reset, in order.
const std::vector<MessageBoxQuestion>& messageBoxQuestions();
// Forgets the queue and the record.
void resetMessageBoxHook();
// Whether boxes are answered by the hook (READHALL_TESTING set) instead of being shown.
bool messageBoxHookActive();

} // namespace platform
