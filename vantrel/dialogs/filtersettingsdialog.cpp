#include "vantrel/dialogs/filtersettingsdialog.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/rules.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel::dialogs
{

namespace
{

using Field = FilterCondition::Field;
using Test = FilterCondition::Test;
using Action = FilterRule::Action;

const std::pair<Field, const char*> kFieldTexts[] = {
    {Field::Headline, "Headline"}, {Field::Summary, "Summary"}, {Field::Category, "Category"},
    {Field::Author, "Author"},     {Field::Link, "Link"},       {Field::Age, "Age"},
};
const std::pair<Test, const char*> kTextTests[] = {
    {Test::Contains, "contains"},
    {Test::NotContains, "does not contain"},
    {Test::Matches, "matches regular expression"},
};
const std::pair<Action, const char*> kActionTexts[] = {
    {Action::MarkRead, "Mark as read"},
    {Action::Keep, "Keep"},
    {Action::Delete, "Delete"},
    {Action::Alert, "Raise an alert named"},
};

QString changedText(int n)
{
    return n == 1 ? QStringLiteral("1 story") : QStringLiteral("%1 stories").arg(n);
}

} // namespace

// --- ConditionRow ------------------------------------------------------------------------

ConditionRow::ConditionRow(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("fieldBox"));
    for (const auto& [field, text] : kFieldTexts)
        m_field->addItem(QLatin1String(text), int(field));
    m_test = new QComboBox(this);
    m_test->setObjectName(QStringLiteral("testBox"));
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("valueEdit"));
    m_value->setMinimumWidth(160);
    m_days = new QSpinBox(this);
    m_days->setObjectName(QStringLiteral("daysSpin"));
    m_days->setRange(1, 36500);
    m_days->setValue(30);
    m_daysLabel = new QLabel(QStringLiteral("days"), this);
    auto* remove = new QToolButton(this);
    remove->setObjectName(QStringLiteral("removeConditionButton"));
    remove->setText(QStringLiteral("Remove"));
    remove->setToolTip(QStringLiteral("Remove this condition"));
    row->addWidget(m_field);
    row->addWidget(m_test);
    row->addWidget(m_value, 1);
    row->addWidget(m_days);
    row->addWidget(m_daysLabel);
    row->addWidget(remove);
    connect(m_field, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ConditionRow::fieldChanged);
    connect(remove, &QToolButton::clicked, this, [this] { emit removeRequested(this); });
    fieldChanged();
}

void ConditionRow::fieldChanged()
{
    const bool age = Field(m_field->currentData().toInt()) == Field::Age;
    const int before = m_test->currentData().toInt();
    m_test->clear();
    if (age) {
        m_test->addItem(QStringLiteral("is older than"), int(Test::OlderThan));
    } else {
        for (const auto& [test, text] : kTextTests)
            m_test->addItem(QLatin1String(text), int(test));
        const int at = m_test->findData(before);
        m_test->setCurrentIndex(std::max(0, at));
    }
    m_value->setVisible(!age);
    m_days->setVisible(age);
    m_daysLabel->setVisible(age);
}

void ConditionRow::set(Field field, Test test, const QString& value, int days)
{
    m_field->setCurrentIndex(std::max(0, m_field->findData(int(field))));
    fieldChanged();
    m_test->setCurrentIndex(std::max(0, m_test->findData(int(test))));
    m_value->setText(value);
    if (days > 0)
        m_days->setValue(days);
}

void ConditionRow::setCondition(const FilterCondition& c)
{
    set(c.field, c.test, c.value, c.days);
}

FilterCondition ConditionRow::condition() const
{
    FilterCondition c;
    c.field = Field(m_field->currentData().toInt());
    c.test = Test(m_test->currentData().toInt());
    if (c.field == Field::Age)
        c.days = m_days->value();
    else
        c.value = m_value->text();
    return c;
}

// --- FilterSettingsDialog ----------------------------------------------------------------

FilterSettingsDialog::FilterSettingsDialog(QWidget* parent) : RuleListDialog(parent)
{
    setObjectName(QStringLiteral("filterSettingsDialog"));
    setWindowTitle(QStringLiteral("Filters"));
    m_newRule.conditions.push_back(FilterCondition());
    buildUi();
    Engine* engine = Engine::instance();
    loadRules(engine ? engine->filterRules() : std::vector<FilterRule>());
}

FilterSettingsDialog::~FilterSettingsDialog() = default;

void FilterSettingsDialog::buildUi()
{
    Frame frame;
    frame.intro = QStringLiteral("Filters act on every new story as it is downloaded, in the "
                                 "order listed. A story a filter deletes is not looked at by the "
                                 "filters after it.");
    frame.editorTitle = QStringLiteral("Filter");
    frame.newName = QStringLiteral("New filter");
    frame.listWidth = 150;
    frame.movable = true;
    buildFrame(frame);

    QVBoxLayout* editor = m_editorLayout;
    m_match = new QComboBox(m_editor);
    m_match->setObjectName(QStringLiteral("matchBox"));
    m_match->addItem(QStringLiteral("all of these conditions hold"), true);
    m_match->addItem(QStringLiteral("any of these conditions holds"), false);
    m_form->addRow(QStringLiteral("&When:"), m_match);

    auto* conditionsArea = new QScrollArea(m_editor);
    conditionsArea->setWidgetResizable(true);
    conditionsArea->setMinimumHeight(120);
    // Wide enough for a whole condition: rows never scroll sideways.
    conditionsArea->setMinimumWidth(560);
    conditionsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* conditionsHolder = new QWidget(conditionsArea);
    m_conditions = new QVBoxLayout(conditionsHolder);
    m_conditions->addStretch();
    conditionsArea->setWidget(conditionsHolder);
    editor->addWidget(conditionsArea, 1);
    auto* addConditionButton = new QPushButton(QStringLiteral("Add &Condition"), m_editor);
    addConditionButton->setObjectName(QStringLiteral("addConditionButton"));
    auto* conditionButtons = new QHBoxLayout;
    conditionButtons->addWidget(addConditionButton);
    conditionButtons->addStretch();
    editor->addLayout(conditionButtons);

    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(new QLabel(QStringLiteral("Then:"), m_editor));
    m_action = new QComboBox(m_editor);
    m_action->setObjectName(QStringLiteral("actionBox"));
    for (const auto& [action, text] : kActionTexts)
        m_action->addItem(QLatin1String(text), int(action));
    m_alertName = new QLineEdit(m_editor);
    m_alertName->setObjectName(QStringLiteral("alertNameEdit"));
    m_alertName->setPlaceholderText(QStringLiteral("alert name"));
    actionRow->addWidget(m_action);
    actionRow->addWidget(m_alertName, 1);
    editor->addLayout(actionRow);

    auto* testRow = new QHBoxLayout;
    auto* test = new QPushButton(QStringLiteral("&Test"), m_editor);
    test->setObjectName(QStringLiteral("testButton"));
    test->setToolTip(QStringLiteral("Count the stored stories this filter would change."));
    testRow->addWidget(test);
    testRow->addStretch();
    editor->addLayout(testRow);

    auto* applyRow = new QHBoxLayout;
    m_apply = new QPushButton(QStringLiteral("&Apply to Stored Stories"), this);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setToolTip(
        QStringLiteral("Store these filters and apply them to the stories already stored."));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("resultLabel"));
    m_result->setWordWrap(true);
    applyRow->addWidget(m_apply);
    applyRow->addWidget(m_result, 1);
    m_layout->addLayout(applyRow);
    finishFrame();

    connect(addConditionButton, &QPushButton::clicked, this, [this] { addCondition(); });
    connect(test, &QPushButton::clicked, this, &FilterSettingsDialog::testRule);
    connect(m_apply, &QPushButton::clicked, this, &FilterSettingsDialog::applyToStored);
    connect(m_action, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &FilterSettingsDialog::actionChanged);
    resize(900, 520);
}

std::vector<ConditionRow*> FilterSettingsDialog::conditionRows() const
{
    std::vector<ConditionRow*> rows;
    for (int i = 0; i < m_conditions->count(); ++i) {
        if (auto* row = qobject_cast<ConditionRow*>(m_conditions->itemAt(i)->widget()))
            rows.push_back(row);
    }
    return rows;
}

ConditionRow* FilterSettingsDialog::addCondition()
{
    auto* row = new ConditionRow(m_conditions->parentWidget());
    m_conditions->insertWidget(m_conditions->count() - 1, row); // before the stretch
    connect(row, &ConditionRow::removeRequested, this, [this](ConditionRow* r) {
        m_conditions->removeWidget(r);
        r->hide();
        r->deleteLater();
    });
    return row;
}

void FilterSettingsDialog::showValues(const FilterRule& shown)
{
    m_match->setCurrentIndex(shown.matchAll ? 0 : 1);
    for (ConditionRow* r : conditionRows()) {
        m_conditions->removeWidget(r);
        delete r;
    }
    for (const FilterCondition& c : shown.conditions)
        addCondition()->setCondition(c);
    m_action->setCurrentIndex(std::max(0, m_action->findData(int(shown.action))));
    m_alertName->setText(shown.alertName);
}

void FilterSettingsDialog::ruleShown()
{
    actionChanged();
}

void FilterSettingsDialog::takeValues(FilterRule& r)
{
    r.matchAll = m_match->currentData().toBool();
    r.conditions.clear();
    for (const ConditionRow* row : conditionRows())
        r.conditions.push_back(row->condition());
    r.action = Action(m_action->currentData().toInt());
    r.alertName = r.action == Action::Alert ? m_alertName->text().trimmed() : QString();
}

void FilterSettingsDialog::testRule()
{
    const FilterRule* r = ruleToTest();
    if (!r)
        return;
    const QString problem = filterRuleProblem(*r);
    if (!problem.isEmpty()) {
        m_message->say(problem, true);
        return;
    }
    m_message->clear();
    const int n = Engine::instance()->countFilterMatches(*r);
    if (n < 0) {
        m_message->say(QStringLiteral("The stored stories cannot be read."), true);
        return;
    }
    m_result->setText(
        QStringLiteral("\"%1\" would act on %2 now stored.").arg(r->name, changedText(n)));
}

bool FilterSettingsDialog::store()
{
    Engine* engine = storeRules();
    if (!engine)
        return false;
    m_message->clear();
    // The stored rules carry their ids: a later store changes them rather than adding more.
    m_rules = engine->filterRules();
    return true;
}

void FilterSettingsDialog::applyToStored()
{
    if (m_applying || !store())
        return;
    m_applying = true;
    updateEnabled();
    m_result->setText(QStringLiteral("Applying the filters to the stored stories..."));
    QPointer<FilterSettingsDialog> self(this);
    Engine::instance()->applyFiltersToStored([self](int changed) {
        if (!self)
            return;
        self->m_applying = false;
        if (changed < 0)
            self->m_result->setText(QStringLiteral("The filters were stored, but they could not be "
                                                   "applied to every stored story."));
        else
            self->m_result->setText(
                QStringLiteral("The filters were stored and applied: %1 changed.")
                    .arg(changedText(changed)));
        self->updateEnabled();
    });
}

void FilterSettingsDialog::actionChanged()
{
    const bool alert = Action(m_action->currentData().toInt()) == Action::Alert;
    m_alertName->setEnabled(alert);
    if (alert && !m_loading && m_alertName->text().isEmpty())
        m_alertName->setText(m_name->text());
}

void FilterSettingsDialog::updateEnabled()
{
    RuleListDialog::updateEnabled();
    m_apply->setEnabled(!m_applying);
}

void FilterSettingsDialog::accept()
{
    if (m_applying || !store())
        return;
    QDialog::accept();
}

} // namespace vantrel::dialogs
