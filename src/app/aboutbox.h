#pragma once
// The About boxes of the Help menu: "About Vantrel Readhall" with the program's version and
// build, and "About Java" with the notice on the hosted Java virtual machine.

#include <QDialog>
#include <QString>

class QLabel;

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    // The version line: "Vantrel Readhall 5.0        (Build 5134R)".
    static QString VersionText();
    QLabel* versionLabel() const { return m_version; }

private:
    QLabel* m_version = nullptr;
};

class CAboutJavaDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutJavaDlg(QWidget* parent = nullptr);
};
