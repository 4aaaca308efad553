#pragma once
// The management screen of the four stock documents (transfers, losses,
// overages, assemblies): one design on the document management frame,
// configured by the kind. The thin classes frmDB_M, frmBS_M, frmBY_M and
// frmCZ_M name it.
//
// The list shows the live documents, newest first; below it the lines of the
// current document (an assembly's goods put in and goods taken out side by
// side); the pop-up menu prints the document again and deletes it with every
// movement taken back (stock/stockdoc.h).
#include "ui/docmanage.h"
#include "stockkind.h"

class StockManageScreen : public DocManageScreen {
    Q_OBJECT
public:
    StockKind kind() const { return m_kind; }

public slots:
    void P1Click(); // print the current document

protected:
    StockManageScreen(StockKind kind, QWidget *parent);

private:
    void buildList();
    void buildFilters();
    void buildDetails();
    void buildMenu();

    const StockKind m_kind;
    const StockKindInfo &m_info;
};
