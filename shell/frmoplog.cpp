#include "frmoplog.h"
#include "msg.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/oplog.h"

#include <QComboBox>
#include <QSqlQueryModel>
#include <QLineEdit>

frmOpLog::frmOpLog(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmOpLog"));
    setWindowTitle(QStringLiteral("操作日志"));
    setColumns({
        ListColumn("theTime", "操作时间").w(130).asText(),
        ListColumn("UName", "用户").w(90),
        ListColumn("theHost", "电脑").w(110),
        ListColumn("theKind", "操作").w(100),
        ListColumn("theNum", "单号").w(110),
        ListColumn("theAmount", "金额").num().w(90).sum(QStringLiteral("金额合计：")),
        ListColumn("theCount", "数量").num().w(80).sum(QStringLiteral("数量合计：")),
        ListColumn("Remark", "备注").w(320),
        ListColumn("ID").hide(),
    });
    setQuery(QStringLiteral("select theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark,ID from SOpLog"),
             QStringLiteral("order by ID desc"));
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
    for (const char *doc : {"采购入库", "采购退货", "销售出库", "销售退货"})
        for (const char *what : {"保存", "预存", "修改"}) {
            if (QString::fromUtf8(doc).contains(QStringLiteral("退货")) && QString::fromUtf8(what) != QStringLiteral("保存"))
                continue;
            out << QString::fromUtf8(doc) + QString::fromUtf8(what);
        }
    for (const char *w : {"商品调拨保存", "商品报损保存", "商品报溢保存", "商品拆装保存", "付款单保存", "收款单保存"})
        out << QString::fromUtf8(w);
    for (const char *w : {OpLog::Delete, OpLog::Settle})
        out << QString::fromUtf8(w);
    for (const char *w : {"库存修改", "成本价修改", "销售成本修改", "商品导入", "往来单位导入"})
        out << QString::fromUtf8(w);
    for (const char *w : {OpLog::Backup, OpLog::Restore})
        out << QString::fromUtf8(w);
    for (const char *w : {"用户新增", "用户启用", "用户停用", "用户删除", "权限修改", "默认选项修改", "密码修改", "本店信息修改"})
        out << QString::fromUtf8(w);
    for (const char *w : {OpLog::Login, OpLog::LoginFailed, OpLog::Logout})
        out << QString::fromUtf8(w);
    return out;
}
