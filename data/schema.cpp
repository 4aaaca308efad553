// The first database schema and the rows a new database starts with. This is
// the schema as files were made before versions were kept; every later change
// is an upgrade step (upgrade.cpp), which new files run as well.
#include "connection.h"
#include "dberror.h"
#include "menutable.h"
#include "transaction.h"
#include "words.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Column type words. MONEY has numeric affinity in SQLite: the data module keeps
// every stored amount rounded to four decimals.
const QString Id = QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL");
QString txt(const char *name, int width) { return QStringLiteral("%1 VARCHAR(%2)").arg(QLatin1String(name)).arg(width); }
QString money(const char *name) { return QStringLiteral("%1 MONEY DEFAULT 0").arg(QLatin1String(name)); }
QString integer(const char *name, int def = 0) { return QStringLiteral("%1 INT DEFAULT %2").arg(QLatin1String(name)).arg(def); }
QString bit(const char *name) { return QStringLiteral("%1 BIT DEFAULT 0").arg(QLatin1String(name)); }
QString delFlag() { return QStringLiteral("theDel VARCHAR(2) DEFAULT '否'"); }
QString stateWord() { return QStringLiteral("theState VARCHAR(4) DEFAULT '启用'"); }

struct Table { QString name; QStringList columns; };

QStringList tradeHeader(bool payable, bool preSave)
{
    QStringList c{Id, txt("theNum", 15), txt("theDate", 10), txt("myDate", 10), integer("UID"), txt("MName", 50),
                  txt("WName", 20), txt("AName", 20), txt("UName", 20), txt("IName", 20), txt("Remark", 100),
                  money("theHJ"), money("theSJ"), money(payable ? "theYF" : "theYS"), money("theCount"), txt("theDX", 80)};
    if (preSave) c << QStringLiteral("theYC VARCHAR(2) DEFAULT '否'");
    c << delFlag();
    return c;
}

QStringList lines(bool sales = false)
{
    QStringList c{Id, txt("theNum", 15), integer("theBH"), integer("SID"), money("thePrice"), money("theCount"),
                  money("theSum"), txt("Remark", 100)};
    if (sales) c << integer("theZK") << money("theJJ");
    return c;
}

QStringList settlement(bool pay)
{
    return {Id, txt("theNum", 15), txt(pay ? "FKDate" : "SKDate", 10), money("theMoney"), txt("AName", 20),
            txt(pay ? "theFKR" : "theSKR", 20)};
}

QStringList voucher(bool pay)
{
    return {Id, txt("theNum", 15), txt("theDate", 10), txt("myDate", 10), integer("UID"), txt("MName", 50),
            txt("AName", 20), txt("UName", 20), txt("IName", 20), txt("Remark", 100), txt("theDX", 80), delFlag(),
            money(pay ? "theFK" : "theSK")};
}

QStringList stockHeader(bool issuing, bool totals)
{
    QStringList c{Id, txt("theNum", 15), txt("theDate", 10), txt("myDate", 10), txt("WName", 20)};
    if (issuing) c << txt("DName", 20);
    c << txt("UName", 20) << txt("IName", 20) << txt("Remark", 100);
    if (totals) c << money("theSum") << money("theCount") << txt("theDX", 80);
    c << delFlag();
    return c;
}

QStringList dictionary(bool discount)
{
    QStringList c{Id, txt("theName", 20), txt("Remark", 50), stateWord()};
    if (discount) c << integer("theZK");
    return c;
}

QList<Table> tables()
{
    QStringList ubb{Id, txt("theDate", 10)};
    for (const char *g : {"CG", "CT", "FK", "XS", "XT", "SK", "BS", "BY"}) {
        const QString p = QLatin1String(g);
        const int moneyCount = (p == QLatin1String("FK") || p == QLatin1String("SK")) ? 1
                             : (p == QLatin1String("BS") || p == QLatin1String("BY")) ? 2 : 4;
        for (int i = 1; i <= moneyCount; ++i) ubb << QStringLiteral("%1%2 MONEY DEFAULT 0").arg(p).arg(i);
        ubb << QStringLiteral("%1%2 INT DEFAULT 0").arg(p).arg(moneyCount + 1);
    }
    return {
        {QStringLiteral("SShop"), {Id, txt("theNum", 16), txt("theName", 50), txt("thePY", 50), txt("theType", 20),
                                   txt("theStand", 20), txt("theUnit", 10), money("theJH"), money("theXS"), money("theCB"),
                                   integer("theZK"), money("theKCMin"), money("theKCMax"), txt("theCD", 20), txt("thePH", 20),
                                   txt("Remark", 100), txt("theDate", 10), stateWord(), delFlag()}},
        {QStringLiteral("SUnits"), {Id, txt("theName", 50), txt("thePY", 50), txt("thePro", 20), txt("thePho", 30),
                                    txt("theAdd", 60), txt("Remark", 100), txt("theType", 10), money("theYS"), money("theYF"),
                                    stateWord(), delFlag()}},
        {QStringLiteral("SType"), dictionary(true)},
        {QStringLiteral("SWare"), dictionary(false)},
        {QStringLiteral("SAccount"), dictionary(false)},
        {QStringLiteral("SStaff"), dictionary(false)},
        {QStringLiteral("SUType"), {Id, txt("theName", 10)}},
        {QStringLiteral("SDept"), {Id, txt("theName", 30), txt("thePhone", 100), txt("theAdd", 100), txt("theGG", 100),
                                   txt("theZH", 100), txt("theSW", 100), txt("theT1", 100), txt("theT2", 100), txt("theGS", 100),
                                   bit("theTX"), money("theKC"), bit("theJH"), bit("theXS"), bit("theJH1"), bit("theXS1"),
                                   txt("theCB", 12), bit("theFKC"), money("theKCMin"), money("theKCMax")}},
        {QStringLiteral("SUser"), {Id, txt("theName", 20), txt("thePass", 12), txt("Remark", 50), stateWord(),
                                   txt("theCK", 20), txt("theZH", 20), txt("theJSR", 20), txt("theSFKR", 20)}},
        {QStringLiteral("SMenu"), {txt("MNum", 3), txt("MName", 40)}},
        {QStringLiteral("SLevel"), {integer("UID"), txt("MNum", 3)}},
        {QStringLiteral("SDJ"), {Id, txt("theName", 20)}},
        {QStringLiteral("UJH"), tradeHeader(true, true)},
        {QStringLiteral("UJH_List"), lines()},
        {QStringLiteral("UCG_O"), tradeHeader(false, false)},
        {QStringLiteral("UCG_O_List"), lines()},
        {QStringLiteral("UXS"), tradeHeader(false, true)},
        {QStringLiteral("UXS_List"), lines(true)},
        {QStringLiteral("UXS_O"), tradeHeader(true, false)},
        {QStringLiteral("UXS_O_List"), lines()},
        {QStringLiteral("UJH_FK"), settlement(true)},
        {QStringLiteral("UXS_O_FK"), settlement(true)},
        {QStringLiteral("UXS_SK"), settlement(false)},
        {QStringLiteral("UCG_O_SK"), settlement(false)},
        {QStringLiteral("UFK"), voucher(true)},
        {QStringLiteral("USK"), voucher(false)},
        {QStringLiteral("UDB"), stockHeader(true, true)},
        {QStringLiteral("UDB_List"), lines()},
        {QStringLiteral("UBS"), stockHeader(false, true)},
        {QStringLiteral("UBS_List"), lines()},
        {QStringLiteral("UBY"), stockHeader(false, true)},
        {QStringLiteral("UBY_List"), lines()},
        {QStringLiteral("UCZ"), stockHeader(true, false)},
        {QStringLiteral("UCZ_O_List"), lines()},
        {QStringLiteral("UCZ_I_List"), lines()},
        {QStringLiteral("UKC"), {Id, txt("WName", 20), integer("SID"), money("theCount")}},
        {QStringLiteral("SList"), {Id, txt("theDate", 10), txt("theType", 12), txt("theNum", 15), txt("WName", 20),
                                   integer("SID"), money("ICount"), money("OCount"), money("SPrice"), money("WCount"),
                                   txt("UName", 20)}},
        {QStringLiteral("UList"), {Id, txt("theDate", 10), txt("theType", 12), txt("theNum", 15), money("theIn"),
                                   money("theOut"), txt("MName", 20), txt("UName", 20), txt("IName", 20)}},
        {QStringLiteral("UBB"), ubb},
    };
}

// The columns that lists, lookups and postings search by.
QStringList indexes()
{
    QStringList out;
    auto idx = [&](const QString &table, const QString &cols, bool unique = false) {
        QString name = QStringLiteral("IX_%1_%2").arg(table, QString(cols).remove(QLatin1Char(',')));
        out << QStringLiteral("CREATE %1INDEX %2 ON %3(%4)")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(), name, table, cols);
    };
    idx(QStringLiteral("SShop"), QStringLiteral("theNum"));
    idx(QStringLiteral("SShop"), QStringLiteral("thePY"));
    idx(QStringLiteral("SShop"), QStringLiteral("theName"));
    idx(QStringLiteral("SShop"), QStringLiteral("theDate"));
    idx(QStringLiteral("SUnits"), QStringLiteral("thePY"));
    idx(QStringLiteral("SUnits"), QStringLiteral("theName"));
    idx(QStringLiteral("SLevel"), QStringLiteral("UID"));
    for (const char *h : {"UJH", "UCG_O", "UXS", "UXS_O", "UFK", "USK", "UDB", "UBS", "UBY", "UCZ"}) {
        const QString t = QLatin1String(h);
        idx(t, QStringLiteral("theNum"));
        idx(t, QStringLiteral("theDate"));
        idx(t, QStringLiteral("myDate"));
    }
    for (const char *h : {"UJH", "UCG_O", "UXS", "UXS_O", "UFK", "USK"})
        idx(QLatin1String(h), QStringLiteral("UID"));
    for (const char *l : {"UJH_List", "UCG_O_List", "UXS_List", "UXS_O_List", "UDB_List", "UBS_List", "UBY_List",
                          "UCZ_O_List", "UCZ_I_List"}) {
        idx(QLatin1String(l), QStringLiteral("theNum"));
        idx(QLatin1String(l), QStringLiteral("SID"));
    }
    for (const char *s : {"UJH_FK", "UXS_O_FK", "UXS_SK", "UCG_O_SK"})
        idx(QLatin1String(s), QStringLiteral("theNum"));
    // One stock row per warehouse and product.
    idx(QStringLiteral("UKC"), QStringLiteral("WName,SID"), true);
    idx(QStringLiteral("UKC"), QStringLiteral("SID"));
    idx(QStringLiteral("SList"), QStringLiteral("SID"));
    idx(QStringLiteral("SList"), QStringLiteral("theDate"));
    idx(QStringLiteral("SList"), QStringLiteral("theNum"));
    idx(QStringLiteral("UList"), QStringLiteral("theDate"));
    idx(QStringLiteral("UList"), QStringLiteral("theNum"));
    idx(QStringLiteral("UBB"), QStringLiteral("theDate"));
    return out;
}

void exec(QSqlDatabase db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(db);
    if (!q.prepare(sql)) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
    for (const QVariant &v : binds) q.addBindValue(v);
    if (!q.exec()) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
}

} // namespace

bool hasProgramTables(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select name from sqlite_master where type='table'"))) return false;
    QStringList have;
    while (q.next()) have << q.value(0).toString();
    for (const Table &t : tables())
        if (!have.contains(t.name, Qt::CaseInsensitive)) return false;
    return true;
}

void createFirstSchema(QSqlDatabase db)
{
    Transaction tx(db);
    for (const Table &t : tables())
        exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, t.columns.join(QStringLiteral(", "))));
    for (const QString &s : indexes()) exec(db, s);

    const char *titles[] = {"采购入库单", "采购退货单", "付款单", "销售出库单", "销售退货单",
                            "收款单", "商品报损单", "商品报溢单", "商品调拨单", "商品拆装单"};
    for (const char *t : titles)
        exec(db, QStringLiteral("insert into SDJ(theName) Values(?)"), {QString::fromUtf8(t)});

    exec(db, QStringLiteral("insert into SAccount(theName,Remark,theState) Values(?,?,?)"),
         {QStringLiteral("现金"), QString(), QString::fromUtf8(Words::StateOn)});

    for (const char *t : {Words::UTypeBoth, Words::UTypeSupplier, Words::UTypeCustomer})
        exec(db, QStringLiteral("insert into SUType(theName) Values(?)"), {QString::fromUtf8(t)});

    exec(db, QStringLiteral("insert into SDept(theName,thePhone,theAdd,theGG,theZH,theSW,theT1,theT2,theGS,"
                            "theTX,theKC,theJH,theXS,theJH1,theXS1,theCB,theFKC,theKCMin,theKCMax) "
                            "Values(?,?,?,'','','','','','',0,0,0,0,1,1,?,0,0,1000)"),
         {QStringLiteral("Tavrel软件"), QStringLiteral("电话：0000-00000000"), QStringLiteral("地址：本店地址"),
          QString::fromUtf8(Words::CostPurchasePrice)});

    exec(db, QStringLiteral("insert into SUser(theName,thePass,Remark,theState,theCK,theZH,theJSR,theSFKR) "
                            "Values(?,'','',?,'',?,'','')"),
         {QStringLiteral("系统管理员"), QString::fromUtf8(Words::StateOn), QStringLiteral("现金")});

    for (const MenuEntry &e : codedMenuItems()) {
        exec(db, QStringLiteral("insert into SMenu(MNum,MName) Values(?,?)"), {e.code, e.rightsName()});
        exec(db, QStringLiteral("insert into SLevel(UID,MNum) Values(1,?)"), {e.code});
    }
    tx.commit();
}
