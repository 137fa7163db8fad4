#include "vantrel/dialogs/alertsettingsdialog.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/rules.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QCheckBox>
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

} // namespace

AlertSettingsDialog::AlertSettingsDialog(QWidget* parent) : RuleListDialog(parent)
{
    setObjectName(QStringLiteral("alertSettingsDialog"));
    setWindowTitle(QStringLiteral("Alerts"));
    buildUi();
    Engine* engine = Engine::instance();
    loadRules(engine ? engine->alertRules() : std::vector<AlertRule>());
}

AlertSettingsDialog::~AlertSettingsDialog() = default;

void AlertSettingsDialog::buildUi()
{
    Frame frame;
    frame.intro =
        QStringLiteral("An alert is raised when a new story names one of an alert's words or "
                       "phrases. Alerts appear in the Alerts window under the alert's name.");
    frame.editorTitle = QStringLiteral("Alert");
    frame.newName = QStringLiteral("New alert");
    frame.listWidth = 180;
    buildFrame(frame);

    m_words = new QLineEdit(m_editor);
    m_words->setObjectName(QStringLiteral("wordsEdit"));
    m_words->setPlaceholderText(QStringLiteral("storm, high tide, flood warning"));
    m_form->addRow(QStringLiteral("&Words or phrases:"), m_words);
    auto* hint = new QLabel(QStringLiteral("Separate words and phrases with commas."), m_editor);
    hint->setEnabled(false);
    m_form->addRow(QString(), hint);

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
    m_form->addRow(QStringLiteral("Look in:"), where);
    m_wholeWords = new QCheckBox(QStringLiteral("Match &whole words only"), m_editor);
    m_wholeWords->setObjectName(QStringLiteral("wholeWordsBox"));
    m_form->addRow(QString(), m_wholeWords);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), m_editor);
    m_matchCase->setObjectName(QStringLiteral("matchCaseBox"));
    m_form->addRow(QString(), m_matchCase);
    m_category = new CategoryBox(m_editor);
    m_category->setObjectName(QStringLiteral("categoryBox"));
    m_category->setToolTip(
        QStringLiteral("The sub-channel of the Alerts window the alerts are filed under."));
    m_form->addRow(QStringLiteral("File &under:"), m_category);

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
    m_form->addRow(QStringLiteral("Watch:"), watchChoice);
    m_watch = new QListWidget(m_editor);
    m_watch->setObjectName(QStringLiteral("watchList"));
    m_watch->setMinimumHeight(110);
    m_form->addRow(QString(), m_watch);

    auto* testRow = new QHBoxLayout;
    auto* test = new QPushButton(QStringLiteral("&Test"), m_editor);
    test->setObjectName(QStringLiteral("testButton"));
    test->setToolTip(QStringLiteral("Count the stored stories this alert matches."));
    m_testResult = new QLabel(m_editor);
    m_testResult->setObjectName(QStringLiteral("testLabel"));
    testRow->addWidget(test);
    testRow->addWidget(m_testResult, 1);
    m_form->addRow(QString(), testRow);
    finishFrame();

    fillWatchList();

    connect(test, &QPushButton::clicked, this, &AlertSettingsDialog::testRule);
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

void AlertSettingsDialog::showValues(const AlertRule& shown)
{
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
}

void AlertSettingsDialog::takeValues(AlertRule& r)
{
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
}

void AlertSettingsDialog::testRule()
{
    const AlertRule* r = ruleToTest();
    if (!r)
        return;
    const QString problem = alertRuleProblem(*r);
    if (!problem.isEmpty()) {
        m_testResult->setText(problem);
        return;
    }
    const int n = Engine::instance()->countAlertMatches(*r);
    if (n < 0)
        m_testResult->setText(QStringLiteral("The stored stories cannot be read."));
    else
        m_testResult->setText(n == 1 ? QStringLiteral("1 stored story matches.")
                                     : QStringLiteral("%1 stored stories match.").arg(n));
}

void AlertSettingsDialog::accept()
{
    if (storeRules())
        QDialog::accept();
}

} // namespace vantrel::dialogs
