#include "vantrel/dialogs/alertsettingsdialog.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/rules.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel::dialogs
{

namespace
{

enum WatchKind { WatchCategory = 1, WatchChannel = 2 };
constexpr int kKindRole = Qt::UserRole;
constexpr int kValueRole = Qt::UserRole + 1;

QString ruleLabel(const AlertRule& r)
{
    return r.name.trimmed().isEmpty() ? QStringLiteral("(no name)") : r.name.trimmed();
}

} // namespace

AlertSettingsDialog::AlertSettingsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("alertSettingsDialog"));
    setWindowTitle(QStringLiteral("Alerts"));
    if (Engine* engine = Engine::instance())
        m_rules = engine->alertRules();
    buildUi();
    for (const AlertRule& r : m_rules) {
        auto* item = new QListWidgetItem(ruleLabel(r), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(r.enabled ? Qt::Checked : Qt::Unchecked);
    }
    if (!m_rules.empty())
        m_list->setCurrentRow(0);
    else
        showRule(-1);
    updateEnabled();
}

AlertSettingsDialog::~AlertSettingsDialog() = default;

void AlertSettingsDialog::buildUi()
{
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("An alert is raised when a new story names one of an alert's words or "
                       "phrases. Alerts appear in the Alerts window under the alert's name."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ruleList"));
    m_list->setMinimumWidth(180);
    left->addWidget(m_list, 1);
    auto* listButtons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&New"), this);
    add->setObjectName(QStringLiteral("addButton"));
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("deleteButton"));
    listButtons->addWidget(add);
    listButtons->addWidget(m_delete);
    left->addLayout(listButtons);
    body->addLayout(left);

    m_editor = new QGroupBox(QStringLiteral("Alert"), this);
    auto* form = new QFormLayout(m_editor);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_name = new QLineEdit(m_editor);
    m_name->setObjectName(QStringLiteral("nameEdit"));
    form->addRow(QStringLiteral("&Name:"), m_name);
    m_words = new QLineEdit(m_editor);
    m_words->setObjectName(QStringLiteral("wordsEdit"));
    m_words->setPlaceholderText(QStringLiteral("storm, high tide, flood warning"));
    form->addRow(QStringLiteral("&Words or phrases:"), m_words);
    auto* hint = new QLabel(QStringLiteral("Separate words and phrases with commas."), m_editor);
    hint->setEnabled(false);
    form->addRow(QString(), hint);

    auto* where = new QWidget(m_editor);
    auto* whereRow = new QHBoxLayout(where);
    whereRow->setContentsMargins(0, 0, 0, 0);
    m_summaries = new QRadioButton(QStringLiteral("Headlines and &summaries"), where);
    m_summaries->setObjectName(QStringLiteral("summariesButton"));
    m_headlinesOnly = new QRadioButton(QStringLiteral("&Headlines only"), where);
    m_headlinesOnly->setObjectName(QStringLiteral("headlinesOnlyButton"));
    whereRow->addWidget(m_summaries);
    whereRow->addWidget(m_headlinesOnly);
    whereRow->addStretch();
    form->addRow(QStringLiteral("Look in:"), where);
    m_wholeWords = new QCheckBox(QStringLiteral("Match &whole words only"), m_editor);
    m_wholeWords->setObjectName(QStringLiteral("wholeWordsBox"));
    form->addRow(QString(), m_wholeWords);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), m_editor);
    m_matchCase->setObjectName(QStringLiteral("matchCaseBox"));
    form->addRow(QString(), m_matchCase);
    m_category = new CategoryBox(m_editor);
    m_category->setObjectName(QStringLiteral("categoryBox"));
    m_category->setToolTip(
        QStringLiteral("The sub-channel of the Alerts window the alerts are filed under."));
    form->addRow(QStringLiteral("File &under:"), m_category);

    auto* watchChoice = new QWidget(m_editor);
    auto* watchRow = new QHBoxLayout(watchChoice);
    watchRow->setContentsMargins(0, 0, 0, 0);
    m_watchAll = new QRadioButton(QStringLiteral("&All channels"), watchChoice);
    m_watchAll->setObjectName(QStringLiteral("watchAllButton"));
    m_watchSome = new QRadioButton(QStringLiteral("&Only these:"), watchChoice);
    m_watchSome->setObjectName(QStringLiteral("watchSomeButton"));
    watchRow->addWidget(m_watchAll);
    watchRow->addWidget(m_watchSome);
    watchRow->addStretch();
    form->addRow(QStringLiteral("Watch:"), watchChoice);
    m_watch = new QListWidget(m_editor);
    m_watch->setObjectName(QStringLiteral("watchList"));
    m_watch->setMinimumHeight(110);
    form->addRow(QString(), m_watch);

    auto* testRow = new QHBoxLayout;
    auto* test = new QPushButton(QStringLiteral("&Test"), m_editor);
    test->setObjectName(QStringLiteral("testButton"));
    test->setToolTip(QStringLiteral("Count the stored stories this alert matches."));
    m_testResult = new QLabel(m_editor);
    m_testResult->setObjectName(QStringLiteral("testLabel"));
    testRow->addWidget(test);
    testRow->addWidget(m_testResult, 1);
    form->addRow(QString(), testRow);
    body->addWidget(m_editor, 1);
    layout->addLayout(body, 1);

    m_message = new MessageLine(this);
    layout->addWidget(m_message);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(m_buttons);

    fillWatchList();

    connect(m_buttons, &QDialogButtonBox::accepted, this, &AlertSettingsDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &AlertSettingsDialog::reject);
    connect(add, &QPushButton::clicked, this, &AlertSettingsDialog::addRule);
    connect(m_delete, &QPushButton::clicked, this, &AlertSettingsDialog::deleteRule);
    connect(test, &QPushButton::clicked, this, &AlertSettingsDialog::testRule);
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
    connect(m_watchSome, &QRadioButton::toggled, m_watch, &QWidget::setEnabled);
    resize(760, 480);
}

void AlertSettingsDialog::fillWatchList()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return;
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon channel = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString& path : engine->knownCategories()) {
        auto* item = new QListWidgetItem(folder, path, m_watch);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(kKindRole, WatchCategory);
        item->setData(kValueRole, path);
    }
    for (const ChannelFacts& c : engine->allChannelFacts()) {
        auto* item = new QListWidgetItem(channel, c.name, m_watch);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(kKindRole, WatchChannel);
        item->setData(kValueRole, c.id);
    }
}

void AlertSettingsDialog::showRule(int row)
{
    m_loading = true;
    m_current = row >= 0 && size_t(row) < m_rules.size() ? row : -1;
    const AlertRule shown = m_current >= 0 ? m_rules[size_t(m_current)] : AlertRule();
    m_editor->setEnabled(m_current >= 0);
    m_name->setText(shown.name);
    m_words->setText(shown.words.join(QStringLiteral(", ")));
    m_headlinesOnly->setChecked(shown.headlinesOnly);
    m_summaries->setChecked(!shown.headlinesOnly);
    m_wholeWords->setChecked(shown.wholeWords);
    m_matchCase->setChecked(shown.matchCase);
    m_category->setCategories(shown.category);
    const bool all = shown.channels.empty() && shown.categories.isEmpty();
    m_watchAll->setChecked(all);
    m_watchSome->setChecked(!all);
    m_watch->setEnabled(!all);
    QStringList missing = shown.categories;
    for (int i = 0; i < m_watch->count(); ++i) {
        QListWidgetItem* item = m_watch->item(i);
        bool on = false;
        if (item->data(kKindRole).toInt() == WatchCategory) {
            const QString path = item->data(kValueRole).toString();
            on = shown.categories.contains(path, Qt::CaseInsensitive);
            missing.removeAll(path);
        } else {
            const uint32_t id = item->data(kValueRole).toUInt();
            on =
                std::find(shown.channels.begin(), shown.channels.end(), id) != shown.channels.end();
        }
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    // A watched category no channel uses any more stays watched.
    for (const QString& path : missing) {
        auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirIcon), path, m_watch);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setData(kKindRole, WatchCategory);
        item->setData(kValueRole, path);
    }
    m_testResult->clear();
    m_loading = false;
    updateEnabled();
}

void AlertSettingsDialog::takeEditor()
{
    // The switches in the list are the rules' own.
    for (int i = 0; i < m_list->count() && size_t(i) < m_rules.size(); ++i)
        m_rules[size_t(i)].enabled = m_list->item(i)->checkState() == Qt::Checked;
    if (m_current < 0 || size_t(m_current) >= m_rules.size())
        return;
    AlertRule& r = m_rules[size_t(m_current)];
    r.name = m_name->text().trimmed();
    r.words = splitPhrases(m_words->text());
    r.headlinesOnly = m_headlinesOnly->isChecked();
    r.wholeWords = m_wholeWords->isChecked();
    r.matchCase = m_matchCase->isChecked();
    r.category = m_category->categories();
    r.channels.clear();
    r.categories.clear();
    if (m_watchSome->isChecked()) {
        for (int i = 0; i < m_watch->count(); ++i) {
            const QListWidgetItem* item = m_watch->item(i);
            if (item->checkState() != Qt::Checked)
                continue;
            if (item->data(kKindRole).toInt() == WatchCategory)
                r.categories << item->data(kValueRole).toString();
            else
                r.channels.push_back(item->data(kValueRole).toUInt());
        }
    }
    relabel(m_current);
}

void AlertSettingsDialog::relabel(int row)
{
    if (QListWidgetItem* item = m_list->item(row)) {
        m_loading = true;
        item->setText(ruleLabel(m_rules[size_t(row)]));
        m_loading = false;
    }
}

std::vector<AlertRule> AlertSettingsDialog::rules()
{
    takeEditor();
    return m_rules;
}

QString AlertSettingsDialog::message() const
{
    return m_message->text();
}

void AlertSettingsDialog::addRule()
{
    takeEditor();
    AlertRule r;
    QString name = QStringLiteral("New alert");
    for (int n = 2; std::any_of(m_rules.begin(), m_rules.end(),
                                [&](const AlertRule& x) { return x.name == name; });
         ++n)
        name = QStringLiteral("New alert %1").arg(n);
    r.name = name;
    m_rules.push_back(r);
    auto* item = new QListWidgetItem(ruleLabel(r), m_list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    m_current = -1; // the editor holds nothing to take back
    m_list->setCurrentRow(int(m_rules.size()) - 1);
    m_name->setFocus();
    m_name->selectAll();
}

void AlertSettingsDialog::deleteRule()
{
    const int row = m_current;
    if (row < 0)
        return;
    m_current = -1;
    m_rules.erase(m_rules.begin() + row);
    delete m_list->takeItem(row);
    showRule(m_list->currentRow());
}

void AlertSettingsDialog::testRule()
{
    takeEditor();
    Engine* engine = Engine::instance();
    if (m_current < 0 || !engine)
        return;
    const AlertRule& r = m_rules[size_t(m_current)];
    const QString problem = alertRuleProblem(r);
    if (!problem.isEmpty()) {
        m_testResult->setText(problem);
        return;
    }
    const int n = engine->countAlertMatches(r);
    if (n < 0)
        m_testResult->setText(QStringLiteral("The stored stories cannot be read."));
    else
        m_testResult->setText(n == 1 ? QStringLiteral("1 stored story matches.")
                                     : QStringLiteral("%1 stored stories match.").arg(n));
}

void AlertSettingsDialog::updateEnabled()
{
    m_delete->setEnabled(m_current >= 0);
}

void AlertSettingsDialog::accept()
{
    takeEditor();
    Engine* engine = usableEngine(this);
    if (!engine)
        return;
    QString error;
    if (!engine->setAlertRules(m_rules, &error)) {
        // Point at the rule that cannot be used.
        for (size_t i = 0; i < m_rules.size(); ++i) {
            if (!alertRuleProblem(m_rules[i]).isEmpty()) {
                m_list->setCurrentRow(int(i));
                break;
            }
        }
        m_message->say(error, true);
        return;
    }
    QDialog::accept();
}

} // namespace vantrel::dialogs
