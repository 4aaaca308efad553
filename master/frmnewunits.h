#pragma once
// Quick partner entry from a document or voucher: the typed partner does not
// exist; the new partner, of the type the caller's side gives, is saved and
// handed to the caller.
#include <QDialog>

class PartnerFields;
class PickerCaller;
class QLabel;

class frmNewUnits : public QDialog {
    Q_OBJECT
public:
    explicit frmNewUnits(QWidget *parent = nullptr);

    // The calling screen; its caller code goes into Label6 and decides the partner type.
    void setCaller(PickerCaller *caller);
    QString kind() const;
    PartnerFields *fields() const { return m_fields; }
    int savedID() const { return m_saved; }

public slots:
    void BitBtn1Click(); // "保存"

private:
    PartnerFields *m_fields;
    QLabel *m_kind;
    PickerCaller *m_caller = nullptr;
    int m_saved = 0;
};
