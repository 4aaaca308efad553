#include "products.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/pinyin.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

namespace {

ProductSaveResult fail(ProductSaveResult::Status s, ProductField f, const QString &message)
{
    ProductSaveResult r;
    r.status = s;
    r.field = f;
    r.message = message;
    return r;
}

QString empty(const char *label) { return QString::fromUtf8(label) + QStringLiteral(" 不能为空，请重新录入！"); }

} // namespace

ProductSaveResult saveProduct(frmDM &dm, int id, const ProductInput &in)
{
    if (in.num.isEmpty()) return fail(ProductSaveResult::Invalid, ProductField::Num, empty("商品编码"));
    if (in.name.isEmpty()) return fail(ProductSaveResult::Invalid, ProductField::Name, empty("商品名称"));
    if (in.unit.isEmpty()) return fail(ProductSaveResult::Invalid, ProductField::Unit, empty("单位"));
    if (in.jh.isEmpty()) return fail(ProductSaveResult::Invalid, ProductField::JH, empty("采购单价"));
    if (in.xs.isEmpty()) return fail(ProductSaveResult::Invalid, ProductField::XS, empty("销售单价"));

    // The key filter stops typed letters and minus signs, not pasted ones nor
    // "1.2.3" or a number beyond what the books hold: each field is read by its
    // rule before anything is written, and a refusal names the field.
    struct Num { const QString &text; ProductField field; const char *label; NumInput::Rule rule; Money value; };
    Num nums[] = {{in.jh, ProductField::JH, "采购单价", NumInput::Price, {}},
                  {in.xs, ProductField::XS, "销售单价", NumInput::Price, {}},
                  {in.kcMin, ProductField::KCMin, "最低库存", NumInput::Quantity, {}},
                  {in.kcMax, ProductField::KCMax, "最高库存", NumInput::Quantity, {}}};
    for (Num &n : nums) {
        const NumInput::Reading r = NumInput::read(n.text, n.rule, true); // an empty limit counts as 0
        if (!r.ok()) return fail(ProductSaveResult::NotNumber, n.field, r.message(QString::fromUtf8(n.label)));
        n.value = r.value;
    }
    const Money jh = nums[0].value, xs = nums[1].value, kcMin = nums[2].value, kcMax = nums[3].value;

    const QString py = myRetPY(in.name);
    Transaction tx(dm.db());
    const int zk = dm.myRetZK(in.type).toInt();

    // The code, decided under the lock: a proposed code another seat has used
    // since is replaced by the next free one; a typed one may not name another
    // live product.
    QString num = in.num;
    bool checkCode = true;
    if (id == 0 && !in.proposedNum.isEmpty() && num == in.proposedNum) {
        if (dm.rowCount(QStringLiteral("select ID from SShop where theNum=?"), {num}) > 0) num = dm.NewSPNum();
        checkCode = false;
    } else if (id != 0) {
        checkCode = dm.value(QStringLiteral("select theNum from SShop where ID=?"), {id}).toString() != num;
    }

    ProductSaveResult r;
    r.status = ProductSaveResult::Saved;
    r.num = num;
    if (id == 0) {
        const int same = dm.rowCount(
            QStringLiteral("select ID from SShop where theName=? and coalesce(theStand,'')=? and theUnit=? "
                           "and coalesce(theType,'')=? and theNum=? and coalesce(theCD,'')='' and coalesce(thePH,'')='' "
                           "and theDel='否'"),
            {in.name, in.stand, in.unit, in.type, num});
        if (same > 0) return fail(ProductSaveResult::Duplicate, ProductField::None,
                                  QStringLiteral("同一商品信息 已存在，请重新录入！"));
    }
    if (checkCode) {
        const auto other = dm.rows(QStringLiteral("select theName from SShop where theNum=? and theDel='否' and ID<>? "
                                                  "order by ID"),
                                   {num, id});
        if (!other.isEmpty())
            return fail(ProductSaveResult::CodeTaken, ProductField::Num,
                        QStringLiteral("商品编码 %1 已被商品“%2”使用，请换一个编码！").arg(num, other[0][0].toString()));
    }
    if (id != 0) {
        dm.mySQL(QStringLiteral("update SShop set theType=?,theName=?,theUnit=?,theJH=?,Remark=?,thePY=?,theNum=?,"
                                "theXS=?,theStand=?,theKCMin=?,theKCMax=?,theZK=?,theCD='',thePH='' where ID=?"),
                 {in.type, in.name, in.unit, jh.toVariant(), in.remark, py, num, xs.toVariant(), in.stand,
                  kcMin.toVariant(), kcMax.toVariant(), zk, id});
        r.id = id;
    } else {
        r.id = int(dm.insertId(QStringLiteral("insert into SShop(theType,theName,theUnit,theJH,Remark,thePY,theState,theNum,theDate,"
                                              "theXS,theDel,theStand,theCB,theKCMin,theKCMax,theZK,theCD,thePH) "
                                              "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'','')"),
                               {in.type, in.name, in.unit, jh.toVariant(), in.remark, py, QString::fromUtf8(Words::StateOn),
                                num, G.WorkDate, xs.toVariant(), QString::fromUtf8(Words::No), in.stand, jh.toVariant(),
                                kcMin.toVariant(), kcMax.toVariant(), zk}));
    }
    tx.commit();
    return r;
}

ProductRecord readProduct(frmDM &dm, int id)
{
    ProductRecord p;
    const auto r = dm.rows(QStringLiteral("select theNum,theType,theName,theStand,theUnit,theJH,theXS,Remark,theKCMin,"
                                          "theKCMax,thePY,theZK,theState from SShop where ID=?"),
                           {id});
    if (r.size() != 1) return p;
    const QVariantList &v = r[0];
    p.id = id;
    p.found = true;
    p.input = ProductInput{v[0].toString(), v[1].toString(), v[2].toString(), v[3].toString(), v[4].toString(),
                           Money::fromVariant(v[5]).toString(), Money::fromVariant(v[6]).toString(), v[7].toString(),
                           Money::fromVariant(v[8]).toString(), Money::fromVariant(v[9]).toString()};
    p.py = v[10].toString();
    p.zk = v[11].toInt();
    p.state = v[12].toString();
    return p;
}

bool productHasStock(frmDM &dm, int id)
{
    return dm.rowCount(QStringLiteral("select ID from UKC where SID=?"), {id}) > 0;
}

void deleteProduct(frmDM &dm, int id)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SShop set theDel=? where ID=?"), {QString::fromUtf8(Words::Yes), id});
    tx.commit();
}

void setProductPY(frmDM &dm, int id, const QString &py)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SShop set thePY=? where ID=?"), {py, id});
    tx.commit();
}

void setProductDiscount(frmDM &dm, int id, int zk)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SShop set theZK=? where ID=?"), {zk, id});
    tx.commit();
}

void setCategoryDiscount(frmDM &dm, int categoryId, const QString &category, int zk)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SType set theZK=? where ID=?"), {zk, categoryId});
    dm.mySQL(QStringLiteral("update SShop set theZK=? where theType=?"), {zk, category});
    tx.commit();
}
