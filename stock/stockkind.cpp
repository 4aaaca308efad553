#include "stockkind.h"
#include "data/words.h"

namespace {

const QString GridHint = QStringLiteral("在商品编码处录入商品名称或商品名称拼音首字母或商品编码，按回车或鼠标双击...");

QString w(const char *word) { return QString::fromUtf8(word); }

StockKindInfo make(StockKind k)
{
    namespace S = StockWord;
    const QString noLines = QStringLiteral("商品信息 不能为空！ 请重新选择！");
    const QString goods = QStringLiteral("商品信息 ") + GridHint;
    StockKindInfo i;
    i.kind = k;
    switch (k) {
    case StockKind::Transfer:
        i.caption = QStringLiteral("商品调拨单");
        i.head = QStringLiteral("UDB");
        i.prefix = QStringLiteral("DB");
        i.twoWarehouses = true;
        i.mustDiffer = true;
        i.totals = true;
        // Out of the issuing warehouse first, then into the receiving one.
        i.sides = {{QStringLiteral("UDB_List"), QStringLiteral("db"), goods, noLines,
                    {{StockWarehouse::Issuing, false, w(S::TransferOut), w(S::TransferOutDeleted)},
                     {StockWarehouse::Receiving, true, w(S::TransferIn), w(S::TransferInDeleted)}}}};
        i.infoGroup = QStringLiteral("调拨信息");
        i.issuingLabel = QStringLiteral("调出仓库");
        i.receivingLabel = QStringLiteral("调入仓库");
        i.dateLabel = QStringLiteral("调拨日期");
        i.countLabel = QStringLiteral("调拨数量：");
        i.titleWord = QStringLiteral("商品调拨表");
        i.msgNoIssuing = QStringLiteral("请选择 调出仓库！");
        i.msgNoReceiving = QStringLiteral("请选择 调入仓库！");
        i.msgSame = QStringLiteral("不能在同一仓库里进行商品调拨！");
        break;
    case StockKind::Loss:
    case StockKind::Overage: {
        const bool loss = k == StockKind::Loss;
        i.caption = loss ? QStringLiteral("商品报损单") : QStringLiteral("商品报溢单");
        i.head = loss ? QStringLiteral("UBS") : QStringLiteral("UBY");
        i.prefix = loss ? QStringLiteral("BS") : QStringLiteral("BY");
        i.twoWarehouses = false;
        i.mustDiffer = false;
        i.totals = true;
        i.sides = {{loss ? QStringLiteral("UBS_List") : QStringLiteral("UBY_List"),
                    loss ? QStringLiteral("bs") : QStringLiteral("by"), goods, noLines,
                    {{StockWarehouse::Receiving, !loss, w(loss ? S::Loss : S::Overage),
                      w(loss ? S::LossDeleted : S::OverageDeleted)}}}};
        i.infoGroup = loss ? QStringLiteral("报损信息") : QStringLiteral("报溢信息");
        i.receivingLabel = QStringLiteral("仓库名称");
        i.dateLabel = loss ? QStringLiteral("报损日期") : QStringLiteral("报溢日期");
        i.countLabel = loss ? QStringLiteral("报损数量：") : QStringLiteral("报溢数量：");
        i.titleWord = loss ? QStringLiteral("商品报损表") : QStringLiteral("商品报溢表");
        i.msgNoReceiving = QStringLiteral("请选择 仓库名称！");
        break;
    }
    case StockKind::Assembly:
        i.caption = QStringLiteral("拆装单");
        i.head = QStringLiteral("UCZ");
        i.prefix = QStringLiteral("CZ");
        i.twoWarehouses = true;
        i.mustDiffer = false; // taking apart and putting together in one warehouse
        i.totals = false;
        i.sides = {{QStringLiteral("UCZ_O_List"), QStringLiteral("cz"), QStringLiteral("出库商品信息 ") + GridHint,
                    QStringLiteral("出库商品信息 不能为空！ 请重新选择！"),
                    {{StockWarehouse::Issuing, false, w(S::AssemblyOut), w(S::AssemblyOutDeleted)}}},
                   {QStringLiteral("UCZ_I_List"), QStringLiteral("czrk"), QStringLiteral("入库商品信息 ") + GridHint,
                    QStringLiteral("入库商品信息 不能为空！ 请重新选择！"),
                    {{StockWarehouse::Receiving, true, w(S::AssemblyIn), w(S::AssemblyInDeleted)}}}};
        i.infoGroup = QStringLiteral("拆装信息");
        i.issuingLabel = QStringLiteral("出库仓库");
        i.receivingLabel = QStringLiteral("入库仓库");
        i.dateLabel = QStringLiteral("拆装日期");
        i.countLabel = QStringLiteral("拆装数量：");
        i.titleWord = QStringLiteral("商品拆装表");
        i.msgNoIssuing = QStringLiteral("请选择 出库仓库！");
        i.msgNoReceiving = QStringLiteral("请选择 入库名称！");
        break;
    }
    return i;
}

} // namespace

const StockKindInfo &stockKind(StockKind kind)
{
    static const StockKindInfo kinds[4] = {make(StockKind::Transfer), make(StockKind::Loss),
                                           make(StockKind::Overage), make(StockKind::Assembly)};
    return kinds[int(kind)];
}
