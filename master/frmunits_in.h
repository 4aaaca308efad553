#pragma once
// "往来单位录入": a new partner (Lab_ID "0") or a change of an existing one.
#include <QDialog>

class PartnerFields;
class QCheckBox;
class QLabel;

class frmUnits_In : public QDialog {
    Q_OBJECT
public:
    explicit frmUnits_In(QWidget *parent = nullptr);

    // Opens the screen for a change of partner `id` (from the list's "查看 &V").
    void setPartnerID(int id);
    int partnerID() const;
    PartnerFields *fields() const { return m_fields; }

signals:
    // A changed partner was saved: the list re-runs its query.
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

private:
    PartnerFields *m_fields;
    QLabel *m_id;
    QCheckBox *m_continue; // "连续新增"
};
