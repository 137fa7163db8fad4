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

#include "vantrel/dialogs/rulelistdialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace vantrel::dialogs
{

class CategoryBox;

class AlertSettingsDialog : public RuleListDialog<AlertRule>
{
    Q_OBJECT
public:
    explicit AlertSettingsDialog(QWidget* parent = nullptr);
    ~AlertSettingsDialog() override;

    void accept() override;

private:
    void buildUi();
    void fillWatchList();
    void showValues(const AlertRule& rule) override;
    void takeValues(AlertRule& rule) override;
    void testRule();

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
};

} // namespace vantrel::dialogs
