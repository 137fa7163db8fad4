#pragma once
// What both browser panes put above the hosted browser and how it behaves: five picture
// buttons (back, forward, stop, refresh, print), the address box with its select-or-insert
// rule, the buttons' commands and the address shown once a page has loaded. The channel
// window's pane (browserview.h) and the browser window's pane (browsermainview.h) build
// theirs here and add their own extras and layout.

#include "src/platform/wintypes.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class CWebBrowser;
class QComboBox;
class QEvent;
class QKCoolButton;
class QObject;
class QUrl;
class QWidget;

namespace browserpane
{

// Creates the five buttons on the parent, left to right from topLeft, 25 by 25 and 2 pixels
// apart, named after their texts. A click sends the button's control id to onButton. With
// toolTips each shows its text as its tool tip. The buttons come back in order, Back first.
std::vector<QKCoolButton*> CreateButtons(QWidget* parent, const QPoint& topLeft, bool toolTips,
                                         const std::function<void(UINT)>& onButton);
// Gives the buttons (as CreateButtons made them) their normal, pressed and hot pictures; with
// normalWhenDisabled the normal picture is the disabled one too.
void LoadButtonBitmaps(const std::vector<QKCoolButton*>& buttons, bool normalWhenDisabled);
void DeleteButtonBitmaps(const std::vector<QKCoolButton*>& buttons);
// The button with the control id; null for another id.
QKCoolButton* FindButton(const std::vector<QKCoolButton*>& buttons, UINT id);
// The left edge of whatever follows the buttons: 2 pixels right of the last one.
int RightOfButtons(const std::vector<QKCoolButton*>& buttons);

// The address box: an editable drop-down in the desktop's interface font at the point, whose
// list takes new entries only through SelectOrInsertAddress. Choosing an entry from the list
// navigates to it; Enter in the edit field, while canNavigate says a page can show, selects
// or inserts the typed text and navigates to it.
QComboBox* CreateAddressBox(QWidget* parent, const QPoint& at, std::function<bool()> canNavigate,
                            std::function<void(const QString&)> navigate);
// Selects the first entry that begins with the text; when none does, inserts the text as the
// first entry and selects it.
void SelectOrInsertAddress(QComboBox* box, const QString& text);

// Runs a button's command on the browser. Printing goes to the default printer without
// asking; without one, the person is told why nothing is printed.
void RunButton(CWebBrowser* browser, UINT id);
// A page has loaded: the address box shows its address (a local file as its path) and, while
// the pane is visible, the keyboard goes to the page.
void ShowLoadedAddress(QComboBox* box, CWebBrowser* browser, const QUrl& url);

} // namespace browserpane
