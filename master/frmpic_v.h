#pragma once
// The picture of one product: the area that shows a picture at its natural
// size (shared with the management screen) and the viewer frmPic_V.
#include <QDialog>
#include <QImage>
#include <QScrollArea>

class QLabel;

// A picture at its natural size, scrolled when larger than the area.
class PictureArea : public QScrollArea {
    Q_OBJECT
public:
    explicit PictureArea(QWidget *parent = nullptr);
    void setImage(const QImage &image);
    void clear();
    QSize shownSize() const; // (0, 0) when empty

private:
    QLabel *m_label;
};

// The caption the picture screens get: the product's code, a space and its
// name, read from the products. Empty when the product is unknown.
QString productPictureCaption(int id);

class frmPic_V : public QDialog {
    Q_OBJECT
public:
    explicit frmPic_V(QWidget *parent = nullptr);
    // The product whose picture is shown, and the caption.
    void setProduct(int id, const QString &caption);
    PictureArea *area() const { return m_area; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    PictureArea *m_area;
    int m_id = 0;
};
