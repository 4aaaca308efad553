#include "partners.h"

#include "data/dm.h"
#include "data/pinyin.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

PartnerSaveResult savePartner(frmDM &dm, int id, const PartnerInput &in)
{
    PartnerSaveResult r;
    if (in.name.isEmpty()) {
        r.field = PartnerSaveResult::Name;
        r.message = QStringLiteral("单位名称 不能为空，请重新录入！");
        return r;
    }
    NumInput::Reading ys, yf;
    if (id == 0) {
        ys = NumInput::read(in.ys, NumInput::Amount, true);
        yf = NumInput::read(in.yf, NumInput::Amount, true);
        if (!ys.ok() || !yf.ok()) {
            r.status = PartnerSaveResult::NotNumber;
            r.field = ys.ok() ? PartnerSaveResult::Payable : PartnerSaveResult::Receivable;
            r.message = ys.ok() ? yf.message(QStringLiteral("应付金额")) : ys.message(QStringLiteral("应收金额"));
            return r;
        }
    }
    const QString py = myRetPY(in.name);

    Transaction tx(dm.db());
    if (id != 0) {
        dm.mySQL(QStringLiteral("update SUnits set theName=?,thePro=?,thePho=?,theAdd=?,Remark=?,thePY=?,theType=? "
                                "where ID=?"),
                 {in.name, in.pro, in.pho, in.add, in.remark, py, in.type, id});
        r.id = id;
    } else {
        if (dm.rowCount(QStringLiteral("select ID from SUnits where theName=? and theDel='否'"), {in.name}) > 0) {
            r.status = PartnerSaveResult::Duplicate;
            r.field = PartnerSaveResult::Name;
            r.message = QStringLiteral("单位名称 已存在，请重新录入！");
            return r;
        }
        dm.mySQL(QStringLiteral("insert into SUnits(theName,thePro,thePho,theAdd,Remark,thePY,theState,theDel,theType,"
                                "theYS,theYF) values(?,?,?,?,?,?,?,?,?,?,?)"),
                 {in.name, in.pro, in.pho, in.add, in.remark, py, QString::fromUtf8(Words::StateOn),
                  QString::fromUtf8(Words::No), in.type, ys.value.toVariant(), yf.value.toVariant()});
        r.id = int(dm.lastInsertId());
    }
    tx.commit();
    r.status = PartnerSaveResult::Saved;
    return r;
}

QString partnerTypeForCaller(const QString &code)
{
    if (code == QLatin1String("jh") || code == QLatin1String("cgth") || code == QLatin1String("fk"))
        return QString::fromUtf8(Words::UTypeSupplier);
    if (code == QLatin1String("xs") || code == QLatin1String("xsth") || code == QLatin1String("sk"))
        return QString::fromUtf8(Words::UTypeCustomer);
    return QString::fromUtf8(Words::UTypeBoth);
}

PartnerRecord readPartner(frmDM &dm, int id)
{
    PartnerRecord p;
    const auto r = dm.rows(QStringLiteral("select theName,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState "
                                          "from SUnits where ID=?"),
                           {id});
    if (r.size() != 1) return p;
    const QVariantList &v = r[0];
    p.found = true;
    p.input = PartnerInput{v[0].toString(), v[1].toString(), v[2].toString(), v[3].toString(), v[4].toString(),
                           v[5].toString(), Money::fromVariant(v[6]).toString(), Money::fromVariant(v[7]).toString()};
    p.state = v[8].toString();
    return p;
}

void deletePartner(frmDM &dm, int id)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SUnits set theDel=? where ID=?"), {QString::fromUtf8(Words::Yes), id});
    tx.commit();
}
