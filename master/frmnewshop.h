#pragma once
// Quick product entry from a document line: the typed product does not exist;
// the new product is saved and written into the calling row.
#include <QDialog>

class PickerCaller;
class ProductFields;
class QLabel;

class frmNewShop : public QDialog {
    Q_OBJECT
public:
    explicit frmNewShop(QWidget *parent = nullptr);

    // The calling grid; its caller code goes into Label8 and decides the cells written.
    void setCaller(PickerCaller *caller);
    QString kind() const;
    ProductFields *fields() const { return m_fields; }
    // The product saved, 0 before a save.
    int savedID() const { return m_saved; }

public slots:
    void BitBtn1Click(); // "保存"

private:
    ProductFields *m_fields;
    QLabel *m_kind;
    PickerCaller *m_caller = nullptr;
    int m_saved = 0;
};
