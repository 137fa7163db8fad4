#pragma once
// The alert rules: a list of them (each with its switch) beside the chosen rule's name, words
// or phrases, where it looks (headlines only, or headlines and summaries), whole words or any
// text, case, the sub-channel its alerts are filed under and the channels or categories it
// watches. Test counts the stored stories the rule matches. OK stores every rule at once (a
// rule that cannot be used is named, with the field, and the dialog stays open); Cancel
// changes nothing.
//
// Object names for tests: "ruleList", "addButton", "deleteButton", "nameEdit", "wordsEdit",
// "headlinesOnlyButton", "summariesButton", "wholeWordsBox", "matchCaseBox", "categoryBox",
// "watchAllButton", "watchSomeButton", "watchList", "testButton", "testLabel",
// "messageLabel", "okButton".

#include "vantrel/core/model.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace vantrel::dialogs
{

class CategoryBox;
class MessageLine;

class AlertSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AlertSettingsDialog(QWidget* parent = nullptr);
    ~AlertSettingsDialog() override;

    // The rules as the dialog holds them now (the one being edited included).
    std::vector<AlertRule> rules();
    QString message() const;

    void accept() override;

private:
    void buildUi();
    void fillWatchList();
    void showRule(int row);
    void takeEditor(); // the editor's values into the chosen rule
    void relabel(int row);
    void addRule();
    void deleteRule();
    void testRule();
    void updateEnabled();

    std::vector<AlertRule> m_rules;
    int m_current = -1;
    bool m_loading = false;

    QListWidget* m_list = nullptr;
    QPushButton* m_delete = nullptr;
    QGroupBox* m_editor = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_words = nullptr;
    QRadioButton* m_headlinesOnly = nullptr;
    QRadioButton* m_summaries = nullptr;
    QCheckBox* m_wholeWords = nullptr;
    QCheckBox* m_matchCase = nullptr;
    CategoryBox* m_category = nullptr;
    QRadioButton* m_watchAll = nullptr;
    QRadioButton* m_watchSome = nullptr;
    QListWidget* m_watch = nullptr;
    QLabel* m_testResult = nullptr;
    MessageLine* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace vantrel::dialogs
