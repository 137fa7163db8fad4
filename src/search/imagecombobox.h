#pragma once
// A drop-down list whose entries carry a picture, an indent level, an id and a font style.
// In the drop-down part entries are indented 16 pixels per level; the box itself shows the
// chosen entry without indent.

#include <QComboBox>
#include <QPixmap>
#include <vector>

class CImageComboBox : public QComboBox
{
    Q_OBJECT
public:
    enum Style { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4 };
    enum Roles { ImageRole = Qt::UserRole + 1, LevelRole, IdRole, StyleRole };

    explicit CImageComboBox(QWidget* parent = nullptr);

    void SetImages(std::vector<QPixmap> images);
    QPixmap Image(int index) const;
    // Appends an entry; returns its index.
    int AddEntry(const QString& text, int image, int level, long id, int style = 0);
    long EntryId(int index) const;
    int EntryLevel(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QPixmap> m_images;
};
