#pragma once
// "图片管理": load, replace, shrink or delete the picture of one product
// (master/picturefiles.h). The opener gives the product and the caption.
#include <QDialog>
#include <QSize>

class PictureArea;
class QLineEdit;
class QPushButton;

class frmPic_M : public QDialog {
    Q_OBJECT
public:
    explicit frmPic_M(QWidget *parent = nullptr);
    void setProduct(int id, const QString &caption);

    PictureArea *area() const { return m_area; }
    QLineEdit *percent() const { return m_percent; }
    // The size of the picture loaded last; (0, 0) before one was.
    QSize pictureSize() const { return m_size; }
    QString pending() const { return m_pending; }

public slots:
    void Button1Click(); // "打开"
    void Button2Click(); // "上传"
    void Button3Click(); // "压缩"
    void Button4Click(); // "删除"
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadPicture();

    PictureArea *m_area;
    QLineEdit *m_percent;
    QPushButton *m_openButton;
    int m_id = 0;
    QSize m_size{0, 0};
    QString m_pending; // chosen with "打开", not uploaded yet
};
