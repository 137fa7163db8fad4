#pragma once
// The frame the rule dialogs share: a list of rules (each with its switch) with New and Delete,
// and Move Up / Move Down where the order counts, beside an editor of the chosen rule that
// starts with its name; a message line and OK / Cancel below. The list and the rules move
// together; the editor's values go into the chosen rule whenever another is chosen, tested or
// stored. A dialog adds its own fields to the editor and says how its rules show and are kept.
//
// Object names for tests: "ruleList", "addButton", "deleteButton", "upButton", "downButton",
// "nameEdit", "messageLabel", "okButton", "cancelButton".

#include "vantrel/core/model.h"

#include <QDialog>
#include <vector>

class QDialogButtonBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace vantrel
{
class Engine;
}

namespace vantrel::dialogs
{

class MessageLine;

template <typename Rule> class RuleListDialog : public QDialog
{
public:
    // The rules as the dialog holds them now (the one being edited included).
    std::vector<Rule> rules();
    QString message() const;

protected:
    struct Frame {
        QString intro;       // the words above the list
        QString editorTitle; // the editor box's title
        QString newName;     // what New names a rule ("New alert", then "New alert 2")
        int listWidth = 150;
        bool movable = false; // offers Move Up / Move Down
    };

    explicit RuleListDialog(QWidget* parent);

    // The intro, the list with its buttons and the editor box with its name row. The dialog
    // adds its fields to m_form or m_editorLayout, and its own rows below to m_layout.
    void buildFrame(const Frame& frame);
    // The message line and OK / Cancel, below what the dialog added.
    void finishFrame();
    // Lists the rules and shows the first.
    void loadRules(std::vector<Rule> rules);
    // The chosen rule with the editor's values taken, when there is one and an engine to test
    // it with.
    const Rule* ruleToTest();
    // Stores every rule through the engine; a rule that cannot be used is chosen in the list
    // and the reason said. The engine on success, else null.
    Engine* storeRules();

    // The chosen rule's own fields into the editor (while m_loading), and back.
    virtual void showValues(const Rule& rule) = 0;
    virtual void takeValues(Rule& rule) = 0;
    // After a rule is shown and m_loading is off again.
    virtual void ruleShown() {}
    virtual void updateEnabled();

    void showRule(int row);
    void takeEditor();

    std::vector<Rule> m_rules;
    Rule m_newRule; // what New starts from, before it is named
    int m_current = -1;
    bool m_loading = false;

    QVBoxLayout* m_layout = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QGroupBox* m_editor = nullptr;
    QVBoxLayout* m_editorLayout = nullptr;
    QFormLayout* m_form = nullptr;
    QLineEdit* m_name = nullptr;
    MessageLine* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;

private:
    void relabel(int row);
    void addRule();
    void deleteRule();
    void moveRule(int by);

    QString m_newName;
};

extern template class RuleListDialog<AlertRule>;
extern template class RuleListDialog<FilterRule>;

} // namespace vantrel::dialogs
