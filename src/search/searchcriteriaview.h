#pragma once
// The search form at the top of the search window: the word to look for, where to look (all
// channels, one category or one channel) and whether to look at titles only or at titles
// and summaries. Find Now (the button or Enter in the text) writes the query into the search
// document and tells the views; New Search clears the query but keeps the scope and the
// match choice. The scope box is filled again when channels come, go or change, keeping the
// entry the last query was made with.

#include "src/framework/view.h"

#include <QString>

class CImageComboBox;
class CSearchDoc;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CSearchCriteriaView : public CView
{
    Q_OBJECT
public:
    explicit CSearchCriteriaView(QWidget* parent = nullptr);
    ~CSearchCriteriaView() override;

    CSearchDoc* GetSearchDoc() const;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    // Reads the controls into the members (true) or puts the members into the controls.
    void UpdateData(bool fromControls);
    void OnFindNow();
    void OnNewSearch();
    // Empties the scope box and fills it from the directory: "All Channels", then each
    // category by name with its channels; selects the entry named `keep` (the last one when
    // several are), else the first.
    void FillScopeBox(const QString& keep);

    QLineEdit* searchEdit() const { return m_edit; }
    CImageComboBox* scopeBox() const { return m_scope; }
    QPushButton* findNowButton() const { return m_findNow; }
    QPushButton* newSearchButton() const { return m_newSearch; }
    QRadioButton* titleOnlyButton() const { return m_titleOnly; }
    QRadioButton* titleAndSummaryButton() const { return m_titleAndSummary; }

    // The members exchanged with the controls.
    QString m_searchText;
    int m_matchChoice = 1; // 0: title only; 1: title and summary

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Pixels of a dialog-unit rectangle in the form's font.
    QRect dialogRect(int x, int y, int width, int height) const;
    void layoutControls();
    // Fills the document's channels from the selected scope entry.
    void FillChannels(CSearchDoc* doc) const;

    QLabel* m_label = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_findNow = nullptr;
    QLabel* m_scopeLabel = nullptr;
    CImageComboBox* m_scope = nullptr;
    QPushButton* m_newSearch = nullptr;
    QRadioButton* m_titleOnly = nullptr;
    QRadioButton* m_titleAndSummary = nullptr;
};
