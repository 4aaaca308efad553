#pragma once
// "更换背景": copies a chosen JPEG picture to the books' folder as the main
// window's background ("bj.jpg"), or removes it. Both take effect at the next start.
#include <QDialog>

class QLineEdit;

class frmBImage : public QDialog {
    Q_OBJECT
public:
    explicit frmBImage(QWidget *parent = nullptr);
    QLineEdit *fileEdit() const { return m_file; }

public slots:
    void Button1Click(); // "打开"
    void BitBtn1Click(); // "保存"
    void BitBtn3Click(); // "清除"

private:
    QLineEdit *m_file;
};
