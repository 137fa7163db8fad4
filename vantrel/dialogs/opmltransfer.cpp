#include "vantrel/dialogs/opmltransfer.h"

#include "vantrel/dialogs/dialogparts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vantrel::dialogs
{

namespace
{

const QString kFilter = QStringLiteral("Lists of channels (*.opml *.xml);;All files (*)");

} // namespace

QString importReportText(const OpmlImportReport& report)
{
    return report.ok ? report.summary() : report.error;
}

QString importReportDetails(const OpmlImportReport& report)
{
    QStringList lines;
    if (!report.skipped.isEmpty()) {
        lines << QStringLiteral("Already subscribed:");
        for (const QString& name : report.skipped)
            lines << QStringLiteral("  ") + name;
    }
    if (!report.refused.empty()) {
        lines << QStringLiteral("Refused:");
        for (const OpmlImportReport::Refused& r : report.refused)
            lines << QStringLiteral("  %1 (%2): %3").arg(r.name, r.address, r.reason);
    }
    return lines.join(QLatin1Char('\n'));
}

QString chooseOpmlFileToImport(QWidget* parent, const QString& start)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Import Channels"),
                                        start.isEmpty() ? QDir::homePath() : start, kFilter);
}

OpmlImportReport importOpmlFile(QWidget* parent, const QString& path)
{
    Engine* engine = usableEngine(parent);
    if (!engine)
        return OpmlImportReport();
    const OpmlImportReport report = engine->importOpml(path);
    const bool clean = report.ok && report.refused.empty();
    showMessage(parent, clean ? QMessageBox::Information : QMessageBox::Warning,
                QStringLiteral("Import Channels"), importReportText(report),
                importReportDetails(report));
    return report;
}

bool exportOpmlFile(QWidget* parent, const QString& path)
{
    Engine* engine = usableEngine(parent);
    if (!engine)
        return false;
    QString error;
    if (!engine->exportOpml(path, &error)) {
        showMessage(parent, QMessageBox::Warning, QStringLiteral("Export Channels"), error);
        return false;
    }
    showMessage(
        parent, QMessageBox::Information, QStringLiteral("Export Channels"),
        QStringLiteral("Your channels were saved to %1.").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool exportOpmlInteractively(QWidget* parent)
{
    QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Export Channels"),
        QDir::home().filePath(QStringLiteral("readhall-channels.opml")), kFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".opml");
    return exportOpmlFile(parent, path);
}

} // namespace vantrel::dialogs
