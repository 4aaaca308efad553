#include "dictionaries.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

namespace {
QVector<DictionaryKind> build()
{
    DictionaryKind ware{QStringLiteral("frmWare"), QStringLiteral("仓库设置"), QStringLiteral("SWare"),
                        QStringLiteral("仓库信息"), QStringLiteral("仓库名称："), QStringLiteral("仓库名称"),
                        QStringLiteral("仓库信息"),
                        // Any stock row counts, a zero quantity too: the row still names the warehouse.
                        QStringLiteral("select ID from UKC where WName=?"),
                        QStringLiteral("该仓库有商品库存，不能删除！"), false};
    DictionaryKind account{QStringLiteral("frmAccount"), QStringLiteral("收付款方式设置"), QStringLiteral("SAccount"),
                           QStringLiteral("收付款方式信息"), QStringLiteral("收付款方式："), QStringLiteral("收付款方式"),
                           QStringLiteral("收付款方式"), QString(), QString(), false};
    DictionaryKind staff{QStringLiteral("frmStaff"), QStringLiteral("经手人管理"), QStringLiteral("SStaff"),
                         QStringLiteral("经手人信息"), QStringLiteral("经手人姓名："), QStringLiteral("经手人姓名"),
                         QStringLiteral("经手人信息"), QString(), QString(), false};
    DictionaryKind type{QStringLiteral("frmSType"), QStringLiteral("商品分类"), QStringLiteral("SType"),
                        QStringLiteral("商品分类信息"), QStringLiteral("商品分类："), QStringLiteral("商品分类"),
                        QStringLiteral("商品分类信息"),
                        // Deleted products keep their category name but do not hold the category.
                        QStringLiteral("select ID from SShop where theType=? and theDel='否'"),
                        QStringLiteral("该商品分类有商品信息，不能删除！"), true};
    return {ware, account, staff, type};
}
}

const QVector<DictionaryKind> &dictionaryKinds()
{
    static const QVector<DictionaryKind> kinds = build();
    return kinds;
}

const DictionaryKind *dictionaryKind(const QString &screen)
{
    for (const DictionaryKind &k : dictionaryKinds())
        if (k.screen == screen) return &k;
    return nullptr;
}

QVector<QVariantList> dictionaryRows(frmDM &dm, const DictionaryKind &kind)
{
    const QString cols = kind.discount ? QStringLiteral("theName,theZK,Remark,theState,ID")
                                       : QStringLiteral("theName,Remark,theState,ID");
    return dm.rows(QStringLiteral("select %1 from %2 order by ID").arg(cols, kind.table));
}

QStringList dictionaryCaptions(const DictionaryKind &kind)
{
    if (kind.discount)
        return {kind.nameColumn, QStringLiteral("销售折扣"), QStringLiteral("备注"), QStringLiteral("状态"), QStringLiteral("ID")};
    return {kind.nameColumn, QStringLiteral("备注"), QStringLiteral("状态"), QStringLiteral("ID")};
}

DictionarySave saveDictionaryRow(frmDM &dm, const DictionaryKind &kind, const QString &name, const QString &remark,
                                 const QString &discount)
{
    if (name.isEmpty()) return DictionarySave::EmptyName;
    if (kind.discount && discount.isEmpty()) return DictionarySave::EmptyDiscount;
    const NumInput::Reading zk = NumInput::read(discount, NumInput::Percent);
    if (kind.discount && !zk.ok()) return DictionarySave::BadDiscount;

    Transaction tx(dm.db());
    if (dm.rowCount(QStringLiteral("select ID from %1 where theName=?").arg(kind.table), {name}) > 0)
        return DictionarySave::Duplicate;
    const QString state = QString::fromUtf8(Words::StateOn);
    if (kind.discount) {
        dm.mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values(?,?,?,?)"),
                 {name, remark, state, zk.whole});
    }
    else
        dm.mySQL(QStringLiteral("insert into %1(theName,Remark,theState) values(?,?,?)").arg(kind.table),
                 {name, remark, state});
    tx.commit();
    return DictionarySave::Saved;
}

QString discountRefusal(const QString &discount)
{
    return NumInput::read(discount, NumInput::Percent).message(QStringLiteral("销售折扣"));
}

QString dictionaryInUse(frmDM &dm, const DictionaryKind &kind, const QString &name)
{
    if (kind.inUseSql.isEmpty()) return QString();
    return dm.rowCount(kind.inUseSql, {name}) > 0 ? kind.inUseText : QString();
}

void deleteDictionaryRow(frmDM &dm, const DictionaryKind &kind, int id)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("delete from %1 where ID=?").arg(kind.table), {id});
    tx.commit();
}
