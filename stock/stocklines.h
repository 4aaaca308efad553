#pragma once
// The line query of transfers, losses and overages: one row per line of the
// live documents, newest line first, with its document's date, number,
// warehouses and people; the count and the sums of quantity and amount under
// the list. One design configured by the kind; the thin classes frmDB_MX,
// frmBS_MX and frmBY_MX name it. (Assemblies have no line query.)
#include "ui/listscreen.h"
#include "stockkind.h"

class StockLinesScreen : public ListScreen {
    Q_OBJECT
public:
    StockKind kind() const { return m_kind; }

protected:
    StockLinesScreen(StockKind kind, QWidget *parent);

private:
    const StockKind m_kind;
    const StockKindInfo &m_info;
};
