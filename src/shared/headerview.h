#pragma once
// The header strip along the top of every child window: a coloured or picture-tiled band with
// a large bold title, up to two smaller lines under it and a picture at the right. Each window
// kind has a thin subclass that only fixes its texts and picture.

#include "src/framework/view.h"
#include "src/shared/settings.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

class QKCoolButton;

// Button ids of the strip (also the command ids a clickable button sends to the view).
constexpr UINT IDC_HEADER_TITLE = 1;
constexpr UINT IDC_HEADER_LINE2 = 2;
constexpr UINT IDC_HEADER_LINE3 = 3;
constexpr UINT IDC_HEADER_PICTURE = 4;

// Header pictures (bitmap resources) and texts (string table).
constexpr UINT IDB_HEADER_SEARCH = 16076;
constexpr UINT IDB_HEADER_DIRECTORY = 16077;
constexpr UINT IDB_HEADER_BROWSER = 16078;
constexpr UINT IDB_HEADER_STATUS = 16079;
constexpr UINT IDB_HEADER_PUBLISHING = 25534;
constexpr UINT IDS_HEADER_DIRECTORY_TITLE = 61229;
constexpr UINT IDS_HEADER_DIRECTORY_LINE2 = 61230;
constexpr UINT IDS_HEADER_DIRECTORY_LINE3 = 61231;
constexpr UINT IDS_HEADER_SEARCH_TITLE = 61232;
constexpr UINT IDS_HEADER_SEARCH_LINE2 = 61233;
constexpr UINT IDS_HEADER_TITLE_FONT = 61256;
constexpr UINT IDS_HEADER_LINE_FONT = 61257;
constexpr UINT IDS_HEADER_PUBLISHING_TITLE = 61303;

class CBaseHeaderView : public CView
{
    Q_OBJECT
public:
    explicit CBaseHeaderView(const QString& className = QStringLiteral("CBaseHeaderView"),
                             QWidget* parent = nullptr);
    ~CBaseHeaderView() override;

    // Builds the fonts and the four buttons (once; later calls answer 0 at once). Answers -1
    // on failure, 0 on success. Runs by itself before the view is first shown, sized or
    // updated; subclasses set their texts and picture in their constructors, before it.
    virtual int OnCreate();

    // Places the four buttons: picture at the right, the text block at the left, both centred
    // vertically; a text wider than the room left of the picture is cut there.
    virtual void LayoutButtons();

    void OnInitialUpdate() override;

    // Texts, line count (0: title only, 1: title and second line, 2: all three) and picture.
    // Changing them after creation updates the buttons; call LayoutButtons afterwards.
    void SetTitle(const QString& text);
    void SetSecondLine(const QString& text);
    void SetThirdLine(const QString& text);
    void SetLineCount(int count);
    // Takes the picture (null: none).
    void SetPicture(const QPixmap& picture);
    const QString& GetTitle() const { return m_title; }
    const QString& GetSecondLine() const { return m_secondLine; }
    const QString& GetThirdLine() const { return m_thirdLine; }
    int GetLineCount() const { return m_lineCount; }
    const QPixmap& GetPicture() const { return m_picture; }

    // A clickable button (set before creation) is created active (mode 18) and sends its id
    // as a command to this view.
    void SetButtonClickable(int index, bool clickable);
    bool IsButtonClickable(int index) const;

    // The button with the id 1..4 (null before creation or for another id).
    QKCoolButton* GetButton(UINT id) const;

    QColor GetBackgroundColor() const { return m_backgroundColor; }
    QColor GetTextColor() const { return m_textColor; }
    const QPixmap& GetAreaPicture() const { return m_areaPicture; }
    const QFont& GetTitleFont() const { return m_titleFont; }
    const QFont& GetLineFont() const { return m_lineFont; }

    // Paints the band (tiles or colour, frame, raised edge) on the painter over the rectangle.
    void DrawBand(QPainter& painter, const QRect& client);
    // The tile grid the last band drawing used: columns and rows of the area picture (empty
    // when the band was filled with its colour).
    QSize lastTileGrid() const { return m_lastTileGrid; }

    // A strip's natural height: the text block or the picture, whichever is taller, with a
    // margin; frames use it for their first splitter row.
    int idealHeight();

    // Loads a header picture: the file its setting names when that is not empty (a file that
    // cannot be read gives none), else the bitmap resource.
    static QPixmap LoadHeaderPicture(settings::HeaderPicture picture, UINT resourceId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ensureCreated();
    void readSettings();
    void updateTextButton(int index);

    QPixmap m_areaPicture;
    QColor m_backgroundColor;
    QColor m_textColor;
    std::array<QKCoolButton*, 4> m_buttons{};
    QFont m_titleFont;
    QFont m_lineFont;
    QString m_title;
    QString m_secondLine;
    QString m_thirdLine;
    QPixmap m_picture;
    int m_lineCount = 0;
    std::array<DWORD, 4> m_buttonClickable{};
    bool m_created = false;
    bool m_creating = false;
    QSize m_lastTileGrid;
};

class CBrowserHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CBrowserHeaderView(QWidget* parent = nullptr);
};

class CStatusHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CStatusHeaderView(QWidget* parent = nullptr);
};

class CSearchHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CSearchHeaderView(QWidget* parent = nullptr);
};

class CDirectoryHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CDirectoryHeaderView(QWidget* parent = nullptr);
};

class CPublishingWizardHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CPublishingWizardHeaderView(QWidget* parent = nullptr);
};
