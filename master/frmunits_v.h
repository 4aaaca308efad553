#pragma once
// "往来单位查看": the card of one partner, read whatever its state or deletion
// mark. Nothing typed here is stored.
#include <QDialog>

class PartnerFields;

class frmunits_v : public QDialog {
    Q_OBJECT
public:
    explicit frmunits_v(QWidget *parent = nullptr);
    // Shows the partner; the fields stay empty when no single row has that ID.
    void setPartnerID(int id);
    PartnerFields *fields() const { return m_fields; }

private:
    PartnerFields *m_fields;
};
