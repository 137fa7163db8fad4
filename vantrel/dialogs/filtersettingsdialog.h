#pragma once
// The filter rules, in the order they act on new stories: a list of them (each with its
// switch, moved up and down) beside the chosen rule's name, its conditions on headline,
// summary, category, author, link or age (contains, does not contain, matches a regular
// expression, older than a number of days) joined by all or any, and its action (mark read,
// keep, delete, or raise an alert under a name). Test counts the stored stories the rule
// would change; Apply to Stored Stories stores the rules and applies them to the stories
// already stored, on the engine's worker, and says how many changed. OK stores every rule at
// once (a rule that cannot be used, such as a regular expression that is not valid, is
// refused with the reason and the dialog stays open); Cancel changes nothing more.
//
// Object names for tests: "ruleList", "addButton", "deleteButton", "upButton", "downButton",
// "nameEdit", "matchBox", "addConditionButton", "actionBox", "alertNameEdit", "testButton",
// "applyButton", "resultLabel", "messageLabel", "okButton"; each condition row has "fieldBox",
// "testBox", "valueEdit", "daysSpin" and "removeConditionButton".

#include "vantrel/dialogs/rulelistdialog.h"

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace vantrel::dialogs
{

class ConditionRow;

class FilterSettingsDialog : public RuleListDialog<FilterRule>
{
    Q_OBJECT
public:
    explicit FilterSettingsDialog(QWidget* parent = nullptr);
    ~FilterSettingsDialog() override;
    // True while an Apply to Stored Stories runs on the engine's worker.
    bool isApplying() const { return m_applying; }
    // The condition rows of the rule being edited (tests fill them).
    std::vector<ConditionRow*> conditionRows() const;
    ConditionRow* addCondition();

    void accept() override;

private:
    void buildUi();
    void showValues(const FilterRule& rule) override;
    void takeValues(FilterRule& rule) override;
    void ruleShown() override;
    void updateEnabled() override;
    void testRule();
    void applyToStored();
    void actionChanged();
    bool store();

    bool m_applying = false;

    QComboBox* m_match = nullptr;
    QVBoxLayout* m_conditions = nullptr;
    QComboBox* m_action = nullptr;
    QLineEdit* m_alertName = nullptr;
    QPushButton* m_apply = nullptr;
    QLabel* m_result = nullptr;
};

// One condition of the rule being edited.
class ConditionRow : public QWidget
{
    Q_OBJECT
public:
    explicit ConditionRow(QWidget* parent = nullptr);
    void setCondition(const FilterCondition& condition);
    FilterCondition condition() const;
    void set(FilterCondition::Field field, FilterCondition::Test test, const QString& value,
             int days = 0);

signals:
    void removeRequested(ConditionRow* row);

private:
    void fieldChanged();

    QComboBox* m_field = nullptr;
    QComboBox* m_test = nullptr;
    QLineEdit* m_value = nullptr;
    QSpinBox* m_days = nullptr;
    QLabel* m_daysLabel = nullptr;
};

} // namespace vantrel::dialogs
