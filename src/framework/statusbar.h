#pragma once
// The status bar with panes by id. Pane id 0 (ID_SEPARATOR) is the message pane: it takes the
// free width and shows the text of the last SetPaneText(0, ...); a menu item's or toolbar
// button's help text covers it while the pointer rests there. Other panes keep their place
// at the right in list order and show a text or a picture.
//
// Key-state panes (ID_INDICATOR_CAPS, _NUM, _SCRL) show "CAP", "NUM" and "SCRL" while that
// lock is on and are blank otherwise. Qt gives no lock state, so the state comes from a
// replaceable provider; the default reads the keyboard LEDs Linux exposes under
// /sys/class/leds (any "*::capslock", "*::numlock", "*::scrolllock" with a nonzero
// brightness), and shows the pane blank when there is no such LED.

#include "src/framework/fwdefs.h"

#include <QPixmap>
#include <QStatusBar>
#include <functional>
#include <vector>

class QLabel;

class CStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);
    ~CStatusBar() override;

    // Replaces the panes by the listed ones, in order. Returns FALSE for a list with the same
    // id twice.
    BOOL SetIndicators(const std::vector<UINT>& ids);
    int CommandToIndex(UINT id) const; // -1 when there is no such pane
    UINT GetItemID(int index) const;   // 0 for a bad index
    int GetCount() const { return static_cast<int>(m_panes.size()); }

    BOOL SetPaneText(UINT id, const QString& text, BOOL update = 1);
    QString GetPaneText(UINT id) const;
    // The pane shows the picture and takes its width; a null picture clears it.
    BOOL SetPanePicture(UINT id, const QPixmap& picture);
    QPixmap GetPanePicture(UINT id) const;
    BOOL SetPaneWidth(UINT id, int width);
    int GetPaneWidth(UINT id) const;
    QLabel* paneLabel(UINT id) const;

    // Key-state panes: the provider answers whether the lock of an indicator id is on.
    using KeyStateProvider = std::function<bool(UINT indicatorId)>;
    static void SetKeyStateProvider(KeyStateProvider provider); // null: the default
    static bool KeyStateOn(UINT indicatorId);
    static QString IndicatorText(UINT indicatorId); // "CAP", "NUM", "SCRL"; empty otherwise
    // Brings the key-state panes up to date (the main frame does it while idle).
    void UpdateKeyStates();

private:
    struct Pane {
        UINT id;
        QLabel* label;
    };
    const Pane* find(UINT id) const;
    std::vector<Pane> m_panes;
};
