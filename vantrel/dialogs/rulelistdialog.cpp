#include "vantrel/dialogs/rulelistdialog.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/rules.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel::dialogs
{

namespace
{

QString ruleLabel(const QString& name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("(no name)") : name.trimmed();
}

QString ruleProblem(const AlertRule& r)
{
    return alertRuleProblem(r);
}

QString ruleProblem(const FilterRule& r)
{
    return filterRuleProblem(r);
}

bool keepRules(Engine* engine, const std::vector<AlertRule>& rules, QString* error)
{
    return engine->setAlertRules(rules, error);
}

bool keepRules(Engine* engine, const std::vector<FilterRule>& rules, QString* error)
{
    return engine->setFilterRules(rules, error);
}

QListWidgetItem* addSwitchedItem(QListWidget* list, const QString& name, bool on)
{
    auto* item = new QListWidgetItem(ruleLabel(name), list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    return item;
}

QPushButton* namedButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

template <typename Rule> RuleListDialog<Rule>::RuleListDialog(QWidget* parent) : QDialog(parent) {}

template <typename Rule> void RuleListDialog<Rule>::buildFrame(const Frame& frame)
{
    m_newName = frame.newName;
    m_layout = new QVBoxLayout(this);
    auto* intro = new QLabel(frame.intro, this);
    intro->setWordWrap(true);
    m_layout->addWidget(intro);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ruleList"));
    m_list->setMinimumWidth(frame.listWidth);
    left->addWidget(m_list, 1);
    auto* listButtons = new QHBoxLayout;
    m_add = namedButton(QStringLiteral("&New"), "addButton", this);
    m_delete = namedButton(QStringLiteral("&Delete"), "deleteButton", this);
    listButtons->addWidget(m_add);
    listButtons->addWidget(m_delete);
    left->addLayout(listButtons);
    if (frame.movable) {
        auto* moveButtons = new QHBoxLayout;
        m_up = namedButton(QStringLiteral("Move &Up"), "upButton", this);
        m_down = namedButton(QStringLiteral("Move Do&wn"), "downButton", this);
        moveButtons->addWidget(m_up);
        moveButtons->addWidget(m_down);
        left->addLayout(moveButtons);
    }
    body->addLayout(left);

    m_editor = new QGroupBox(frame.editorTitle, this);
    m_editorLayout = new QVBoxLayout(m_editor);
    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_name = new QLineEdit(m_editor);
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_form->addRow(QStringLiteral("&Name:"), m_name);
    m_editorLayout->addLayout(m_form);
    body->addWidget(m_editor, 1);
    m_layout->addLayout(body, 1);
}

template <typename Rule> void RuleListDialog<Rule>::finishFrame()
{
    m_message = new MessageLine(this);
    m_layout->addWidget(m_message);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    m_layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, [this] { addRule(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteRule(); });
    if (m_up) {
        connect(m_up, &QPushButton::clicked, this, [this] { moveRule(-1); });
        connect(m_down, &QPushButton::clicked, this, [this] { moveRule(1); });
    }
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        takeEditor();
        showRule(row);
    });
    connect(m_name, &QLineEdit::textEdited, this, [this] {
        if (m_current >= 0) {
            m_rules[size_t(m_current)].name = m_name->text();
            relabel(m_current);
        }
    });
}

template <typename Rule> void RuleListDialog<Rule>::loadRules(std::vector<Rule> rules)
{
    m_rules = std::move(rules);
    for (const Rule& r : m_rules)
        addSwitchedItem(m_list, r.name, r.enabled);
    if (!m_rules.empty())
        m_list->setCurrentRow(0);
    else
        showRule(-1);
}

template <typename Rule> void RuleListDialog<Rule>::showRule(int row)
{
    m_loading = true;
    m_current = row >= 0 && size_t(row) < m_rules.size() ? row : -1;
    const Rule shown = m_current >= 0 ? m_rules[size_t(m_current)] : Rule();
    m_editor->setEnabled(m_current >= 0);
    m_name->setText(shown.name);
    showValues(shown);
    m_loading = false;
    ruleShown();
    updateEnabled();
}

template <typename Rule> void RuleListDialog<Rule>::takeEditor()
{
    // The switches in the list are the rules' own.
    for (int i = 0; i < m_list->count() && size_t(i) < m_rules.size(); ++i)
        m_rules[size_t(i)].enabled = m_list->item(i)->checkState() == Qt::Checked;
    if (m_current < 0 || size_t(m_current) >= m_rules.size())
        return;
    Rule& r = m_rules[size_t(m_current)];
    r.name = m_name->text().trimmed();
    takeValues(r);
    relabel(m_current);
}

template <typename Rule> void RuleListDialog<Rule>::relabel(int row)
{
    if (QListWidgetItem* item = m_list->item(row)) {
        m_loading = true;
        item->setText(ruleLabel(m_rules[size_t(row)].name));
        m_loading = false;
    }
}

template <typename Rule> std::vector<Rule> RuleListDialog<Rule>::rules()
{
    takeEditor();
    return m_rules;
}

template <typename Rule> QString RuleListDialog<Rule>::message() const
{
    return m_message->text();
}

template <typename Rule> void RuleListDialog<Rule>::addRule()
{
    takeEditor();
    Rule r = m_newRule;
    QString name = m_newName;
    for (int n = 2;
         std::any_of(m_rules.begin(), m_rules.end(), [&](const Rule& x) { return x.name == name; });
         ++n)
        name = QStringLiteral("%1 %2").arg(m_newName).arg(n);
    r.name = name;
    m_rules.push_back(r);
    addSwitchedItem(m_list, r.name, true);
    m_current = -1; // the editor holds nothing to take back
    m_list->setCurrentRow(int(m_rules.size()) - 1);
    m_name->setFocus();
    m_name->selectAll();
}

template <typename Rule> void RuleListDialog<Rule>::deleteRule()
{
    const int row = m_current;
    if (row < 0)
        return;
    m_current = -1;
    m_rules.erase(m_rules.begin() + row);
    delete m_list->takeItem(row);
    showRule(m_list->currentRow());
}

template <typename Rule> void RuleListDialog<Rule>::moveRule(int by)
{
    takeEditor();
    const int from = m_current;
    const int to = from + by;
    if (from < 0 || to < 0 || size_t(to) >= m_rules.size())
        return;
    std::swap(m_rules[size_t(from)], m_rules[size_t(to)]);
    m_current = -1; // the editor's values were taken: the moves below must not take them again
    m_loading = true;
    QListWidgetItem* item = m_list->takeItem(from);
    m_list->insertItem(to, item);
    m_loading = false;
    m_current = -1;
    m_list->setCurrentRow(to);
    showRule(to);
}

template <typename Rule> void RuleListDialog<Rule>::updateEnabled()
{
    m_delete->setEnabled(m_current >= 0);
    if (m_up) {
        m_up->setEnabled(m_current > 0);
        m_down->setEnabled(m_current >= 0 && size_t(m_current) + 1 < m_rules.size());
    }
}

template <typename Rule> const Rule* RuleListDialog<Rule>::ruleToTest()
{
    takeEditor();
    if (m_current < 0 || !Engine::instance())
        return nullptr;
    return &m_rules[size_t(m_current)];
}

template <typename Rule> Engine* RuleListDialog<Rule>::storeRules()
{
    takeEditor();
    Engine* engine = usableEngine(this);
    if (!engine)
        return nullptr;
    QString error;
    if (!keepRules(engine, m_rules, &error)) {
        // Point at the rule that cannot be used.
        for (size_t i = 0; i < m_rules.size(); ++i) {
            if (!ruleProblem(m_rules[i]).isEmpty()) {
                m_list->setCurrentRow(int(i));
                break;
            }
        }
        m_message->say(error, true);
        return nullptr;
    }
    return engine;
}

template class RuleListDialog<AlertRule>;
template class RuleListDialog<FilterRule>;

} // namespace vantrel::dialogs
