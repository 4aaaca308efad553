#include "shopinfo.h"

#include "data/dm.h"
#include "data/oplog.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

namespace ShopInfoData {

namespace {

bool isCostMethod(const QString &word)
{
    for (const char *w : {Words::CostMovingAverage, Words::CostFirstIn, Words::CostLastIn, Words::CostHighest,
                          Words::CostLowest, Words::CostPurchasePrice})
        if (word == QString::fromUtf8(w)) return true;
    return false;
}

SaveResult refuse(Field f, const QString &message)
{
    SaveResult r;
    r.field = f;
    r.message = message;
    return r;
}

} // namespace

ShopInfo read(frmDM &dm)
{
    ShopInfo s;
    const auto r = dm.rows(QStringLiteral("select theName,thePhone,theAdd,theGG,theZH,theSW,theT1,theT2,theGS,theTX,"
                                          "theKC,theJH,theXS,theJH1,theXS1,theCB,theFKC,theKCMin,theKCMax from SDept"));
    if (r.isEmpty()) {
        s.kcMin = QStringLiteral("0");
        s.kcMax = QStringLiteral("1000");
        return s;
    }
    const QVariantList &v = r.first();
    s.name = v[0].toString();
    for (int i = 0; i < 5; ++i) s.lines[i] = v[1 + i].toString();
    s.t1 = v[6].toString();
    s.t2 = v[7].toString();
    s.gs = v[8].toString();
    s.alert = v[9].toInt() != 0;
    s.jh = v[11].toInt() != 0;
    s.xs = v[12].toInt() != 0;
    s.jh1 = v[13].toInt() != 0;
    s.xs1 = v[14].toInt() != 0;
    s.costMethod = v[15].toString();
    s.negativeStock = v[16].toInt() != 0;
    if (s.alert) {
        s.kcMin = Money::fromVariant(v[17]).toString();
        s.kcMax = Money::fromVariant(v[18]).toString();
    } else {
        s.kcMin = QStringLiteral("0");
        s.kcMax = QStringLiteral("1000");
    }
    return s;
}

SaveResult save(frmDM &dm, const ShopInfo &in)
{
    if (in.name.trimmed().isEmpty()) return refuse(Field::Name, QStringLiteral("本店名称 不能为空！"));
    // The limits are stored whether or not the alert is on, so both must be numbers.
    const NumInput::Reading kcMin = NumInput::read(in.kcMin, NumInput::Quantity);
    if (!kcMin.ok()) return refuse(Field::KCMin, kcMin.message(QStringLiteral("最低库存")));
    const NumInput::Reading kcMax = NumInput::read(in.kcMax, NumInput::Quantity);
    if (!kcMax.ok()) return refuse(Field::KCMax, kcMax.message(QStringLiteral("最高库存")));
    if (!isCostMethod(in.costMethod)) return refuse(Field::CostMethod, QStringLiteral("请选择 商品成本！"));

    Transaction tx(dm.db());
    // The shop is one row; a file that lost it gets it back rather than a save that stores nothing.
    if (dm.rowCount(QStringLiteral("select ID from SDept")) == 0)
        dm.mySQL(QStringLiteral("insert into SDept(theName,theKC) values('',0)"));
    dm.mySQL(QStringLiteral("update SDept set theName=?,thePhone=?,theAdd=?,theGG=?,theZH=?,theSW=?,theT1=?,theT2=?,theGS=?,"
                            "theKCMin=?,theKCMax=?,theTX=?,theJH=?,theXS=?,theJH1=?,theXS1=?,theCB=?,theFKC=?"),
             {in.name, in.lines[0], in.lines[1], in.lines[2], in.lines[3], in.lines[4], in.t1, in.t2, in.gs,
              kcMin.value.toVariant(), kcMax.value.toVariant(), in.alert ? 1 : 0, in.jh ? 1 : 0, in.xs ? 1 : 0,
              in.jh1 ? 1 : 0, in.xs1 ? 1 : 0, in.costMethod, in.negativeStock ? 1 : 0});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::ShopInfoChanged), QString(), Money(), Money(), in.name);
    tx.commit();
    SaveResult r;
    r.saved = true;
    r.message = QStringLiteral("恭喜！恭喜！ 本店信息 保存成功！");
    return r;
}

} // namespace ShopInfoData
