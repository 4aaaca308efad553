#pragma once
// "往来单位管理": the partner list with its filters and pop-up menu.
#include "ui/listscreen.h"

class frmUnits_M : public ListScreen {
    Q_OBJECT
public:
    explicit frmUnits_M(QWidget *parent = nullptr);

public slots:
    void Q1Click(); // "启用 &Q"
    void T1Click(); // "停用 &T"
    void V1Click(); // "查看 &V"
    void D1Click(); // "删除 &D"

private:
    void setState(const char *state);
    int currentID() const;
};
