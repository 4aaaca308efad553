#include "frmoplog.h"
#include "ui/msg.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "stock/stockkind.h"
#include "trade/tradekind.h"

#include <QComboBox>
#include <QSqlQueryModel>
#include <QLineEdit>
#include <QTableView>

frmOpLog::frmOpLog(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmOpLog"));
    setWindowTitle(QStringLiteral("操作日志"));
    setColumns({
        ListColumn("theTime", "操作时间").w(150).asText(),
        ListColumn("UName", "用户").w(90),
        ListColumn("theHost", "电脑").w(110),
        ListColumn("theKind", "操作").w(100),
        ListColumn("theNum", "单号").w(110),
        ListColumn("theAmount", "金额").num().w(90).sum(QStringLiteral("金额合计：")),
        ListColumn("theCount", "数量").num().w(80).sum(QStringLiteral("数量合计：")),
        ListColumn("Remark", "备注").w(580),
        ListColumn("ID").hide(),
    });
    setQuery(QStringLiteral("select theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark,ID from SOpLog"),
             QStringLiteral("order by theTime desc, ID desc"));
    // A remark naming a file ends in its SHA-256, one long word: on one line
    // the file's name and the start of the hash stay in sight.
    grid()->setWordWrap(false);
    setPaged(true);
    setEmptyTotalsZero(true);

    addDateFilter(QStringLiteral("操作日期"), QStringLiteral("theTime"))->setTimeField(true);
    try {
        addChoiceFilter(QStringLiteral("用      户"), QStringLiteral("UName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    FilterRow *kind = addChoiceFilter(QStringLiteral("操      作"), QStringLiteral("theKind"), kindWords());
    kind->comboBox()->setEditable(true);
    kind->comboBox()->setInsertPolicy(QComboBox::NoInsert);
    kind->comboBox()->setCurrentIndex(-1);
    connect(kind->comboBox()->lineEdit(), &QLineEdit::textEdited, kind, &FilterRow::tick);
    addTextFilter(QStringLiteral("单      号"), {QStringLiteral("theNum")});

    setCountLabel(QStringLiteral("日志数量："));
    setExport(QStringLiteral("操作日志表"), {4, 20, 12, 14, 14, 16, 12, 12, 40});
    exportLayout().totalCentred = false;
}

QStringList frmOpLog::kindWords()
{
    QStringList out;
    for (TradeKind k : {TradeKind::Purchase, TradeKind::PurchaseReturn, TradeKind::Sales, TradeKind::SalesReturn}) {
        const TradeKindInfo &info = tradeKind(k);
        const QString name = info.caption.chopped(1);
        out << name + QString::fromUtf8(OpLogWord::Saved);
        if (info.canPreSave)
            out << name + QString::fromUtf8(OpLogWord::PreSaved) << name + QString::fromUtf8(OpLogWord::Changed);
    }
    for (StockKind k : {StockKind::Transfer, StockKind::Loss, StockKind::Overage, StockKind::Assembly})
        out << stockKind(k).caption.chopped(1) + QString::fromUtf8(OpLogWord::Saved);
    for (const char *w : OpLogWord::Standalone) out << QString::fromUtf8(w);
    return out;
}
