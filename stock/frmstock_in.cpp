#include "frmstock_in.h"

frmDB_In::frmDB_In(QWidget *parent) : StockEntryScreen(StockKind::Transfer, parent)
{
    setObjectName(QStringLiteral("frmDB_In"));
}

frmBS_In::frmBS_In(QWidget *parent) : StockEntryScreen(StockKind::Loss, parent)
{
    setObjectName(QStringLiteral("frmBS_In"));
}

frmBY_In::frmBY_In(QWidget *parent) : StockEntryScreen(StockKind::Overage, parent)
{
    setObjectName(QStringLiteral("frmBY_In"));
}

frmCZ_In::frmCZ_In(QWidget *parent) : StockEntryScreen(StockKind::Assembly, parent)
{
    setObjectName(QStringLiteral("frmCZ_In"));
}
