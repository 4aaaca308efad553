#pragma once
// The partner picker: the caller's search result as a list; Enter or a
// double-click takes the current partner into the caller, Esc leaves it as it was.
#include "lookup.h"
#include "pickerlist.h"

class frmFindUnits : public PickerDialog {
    Q_OBJECT
public:
    explicit frmFindUnits(QWidget *parent = nullptr);

    void setList(const QVector<PartnerHit> &list);

public slots:
    void myLoad() override;

private:
    QVector<PartnerHit> m_list;
};
