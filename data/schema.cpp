// The first database schema and the rows a new database starts with. This is
// the schema as files were made before versions were kept; every later change
// is an upgrade step (upgrade.cpp), which new files run as well.
#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "menutable.h"
#include "transaction.h"
#include "words.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Column types, by engine (data/engine.h): the same columns with the same
// names and defaults on the file and on a server.
struct Types {
    Engine e;
    QString id() const { return EngineInfo::idColumn(e); }
    QString txt(const char *name, int width) const
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(name), EngineInfo::textType(e, width));
    }
    QString money(const char *name) const
    {
        return QStringLiteral("%1 %2 DEFAULT 0").arg(QLatin1String(name), EngineInfo::moneyType(e));
    }
    QString integer(const char *name, int def = 0) const
    {
        return QStringLiteral("%1 INT DEFAULT %2").arg(QLatin1String(name)).arg(def);
    }
    QString bit(const char *name) const
    {
        return QStringLiteral("%1 %2 DEFAULT 0").arg(QLatin1String(name), EngineInfo::bitType(e));
    }
    QString delFlag() const { return txt("theDel", 2) + QStringLiteral(" DEFAULT '否'"); }
    QString stateWord() const { return txt("theState", 4) + QStringLiteral(" DEFAULT '启用'"); }
};

struct Table { QString name; QStringList columns; };

QStringList tradeHeader(const Types &t, bool payable, bool preSave)
{
    QStringList c{t.id(), t.txt("theNum", 15), t.txt("theDate", 10), t.txt("myDate", 10), t.integer("UID"),
                  t.txt("MName", 50), t.txt("WName", 20), t.txt("AName", 20), t.txt("UName", 20), t.txt("IName", 20),
                  t.txt("Remark", 100), t.money("theHJ"), t.money("theSJ"), t.money(payable ? "theYF" : "theYS"),
                  t.money("theCount"), t.txt("theDX", 80)};
    if (preSave) c << t.txt("theYC", 2) + QStringLiteral(" DEFAULT '否'");
    c << t.delFlag();
    return c;
}

QStringList lines(const Types &t, bool sales = false)
{
    QStringList c{t.id(), t.txt("theNum", 15), t.integer("theBH"), t.integer("SID"), t.money("thePrice"),
                  t.money("theCount"), t.money("theSum"), t.txt("Remark", 100)};
    if (sales) c << t.integer("theZK") << t.money("theJJ");
    return c;
}

QStringList settlement(const Types &t, bool pay)
{
    return {t.id(), t.txt("theNum", 15), t.txt(pay ? "FKDate" : "SKDate", 10), t.money("theMoney"), t.txt("AName", 20),
            t.txt(pay ? "theFKR" : "theSKR", 20)};
}

QStringList voucher(const Types &t, bool pay)
{
    return {t.id(), t.txt("theNum", 15), t.txt("theDate", 10), t.txt("myDate", 10), t.integer("UID"), t.txt("MName", 50),
            t.txt("AName", 20), t.txt("UName", 20), t.txt("IName", 20), t.txt("Remark", 100), t.txt("theDX", 80),
            t.delFlag(), t.money(pay ? "theFK" : "theSK")};
}

QStringList stockHeader(const Types &t, bool issuing, bool totals)
{
    QStringList c{t.id(), t.txt("theNum", 15), t.txt("theDate", 10), t.txt("myDate", 10), t.txt("WName", 20)};
    if (issuing) c << t.txt("DName", 20);
    c << t.txt("UName", 20) << t.txt("IName", 20) << t.txt("Remark", 100);
    if (totals) c << t.money("theSum") << t.money("theCount") << t.txt("theDX", 80);
    c << t.delFlag();
    return c;
}

QStringList dictionary(const Types &t, bool discount)
{
    QStringList c{t.id(), t.txt("theName", 20), t.txt("Remark", 50), t.stateWord()};
    if (discount) c << t.integer("theZK");
    return c;
}

QList<Table> tables(Engine e)
{
    const Types t{e};
    QStringList ubb{t.id(), t.txt("theDate", 10)};
    for (const char *g : {"CG", "CT", "FK", "XS", "XT", "SK", "BS", "BY"}) {
        const QString p = QLatin1String(g);
        const int moneyCount = (p == QLatin1String("FK") || p == QLatin1String("SK")) ? 1
                             : (p == QLatin1String("BS") || p == QLatin1String("BY")) ? 2 : 4;
        for (int i = 1; i <= moneyCount; ++i) ubb << QStringLiteral("%1%2 %3 DEFAULT 0").arg(p).arg(i).arg(EngineInfo::moneyType(e));
        ubb << QStringLiteral("%1%2 INT DEFAULT 0").arg(p).arg(moneyCount + 1);
    }
    return {
        {QStringLiteral("SShop"), {t.id(), t.txt("theNum", 16), t.txt("theName", 50), t.txt("thePY", 50), t.txt("theType", 20),
                                   t.txt("theStand", 20), t.txt("theUnit", 10), t.money("theJH"), t.money("theXS"), t.money("theCB"),
                                   t.integer("theZK"), t.money("theKCMin"), t.money("theKCMax"), t.txt("theCD", 20), t.txt("thePH", 20),
                                   t.txt("Remark", 100), t.txt("theDate", 10), t.stateWord(), t.delFlag()}},
        {QStringLiteral("SUnits"), {t.id(), t.txt("theName", 50), t.txt("thePY", 50), t.txt("thePro", 20), t.txt("thePho", 30),
                                    t.txt("theAdd", 60), t.txt("Remark", 100), t.txt("theType", 10), t.money("theYS"), t.money("theYF"),
                                    t.stateWord(), t.delFlag()}},
        {QStringLiteral("SType"), dictionary(t, true)},
        {QStringLiteral("SWare"), dictionary(t, false)},
        {QStringLiteral("SAccount"), dictionary(t, false)},
        {QStringLiteral("SStaff"), dictionary(t, false)},
        {QStringLiteral("SUType"), {t.id(), t.txt("theName", 10)}},
        {QStringLiteral("SDept"), {t.id(), t.txt("theName", 30), t.txt("thePhone", 100), t.txt("theAdd", 100), t.txt("theGG", 100),
                                   t.txt("theZH", 100), t.txt("theSW", 100), t.txt("theT1", 100), t.txt("theT2", 100), t.txt("theGS", 100),
                                   t.bit("theTX"), t.money("theKC"), t.bit("theJH"), t.bit("theXS"), t.bit("theJH1"), t.bit("theXS1"),
                                   t.txt("theCB", 12), t.bit("theFKC"), t.money("theKCMin"), t.money("theKCMax")}},
        {QStringLiteral("SUser"), {t.id(), t.txt("theName", 20), t.txt("thePass", 12), t.txt("Remark", 50), t.stateWord(),
                                   t.txt("theCK", 20), t.txt("theZH", 20), t.txt("theJSR", 20), t.txt("theSFKR", 20)}},
        {QStringLiteral("SMenu"), {t.txt("MNum", 3), t.txt("MName", 40)}},
        {QStringLiteral("SLevel"), {t.integer("UID"), t.txt("MNum", 3)}},
        {QStringLiteral("SDJ"), {t.id(), t.txt("theName", 20)}},
        {QStringLiteral("UJH"), tradeHeader(t, true, true)},
        {QStringLiteral("UJH_List"), lines(t)},
        {QStringLiteral("UCG_O"), tradeHeader(t, false, false)},
        {QStringLiteral("UCG_O_List"), lines(t)},
        {QStringLiteral("UXS"), tradeHeader(t, false, true)},
        {QStringLiteral("UXS_List"), lines(t, true)},
        {QStringLiteral("UXS_O"), tradeHeader(t, true, false)},
        {QStringLiteral("UXS_O_List"), lines(t)},
        {QStringLiteral("UJH_FK"), settlement(t, true)},
        {QStringLiteral("UXS_O_FK"), settlement(t, true)},
        {QStringLiteral("UXS_SK"), settlement(t, false)},
        {QStringLiteral("UCG_O_SK"), settlement(t, false)},
        {QStringLiteral("UFK"), voucher(t, true)},
        {QStringLiteral("USK"), voucher(t, false)},
        {QStringLiteral("UDB"), stockHeader(t, true, true)},
        {QStringLiteral("UDB_List"), lines(t)},
        {QStringLiteral("UBS"), stockHeader(t, false, true)},
        {QStringLiteral("UBS_List"), lines(t)},
        {QStringLiteral("UBY"), stockHeader(t, false, true)},
        {QStringLiteral("UBY_List"), lines(t)},
        {QStringLiteral("UCZ"), stockHeader(t, true, false)},
        {QStringLiteral("UCZ_O_List"), lines(t)},
        {QStringLiteral("UCZ_I_List"), lines(t)},
        {QStringLiteral("UKC"), {t.id(), t.txt("WName", 20), t.integer("SID"), t.money("theCount")}},
        {QStringLiteral("SList"), {t.id(), t.txt("theDate", 10), t.txt("theType", 12), t.txt("theNum", 15), t.txt("WName", 20),
                                   t.integer("SID"), t.money("ICount"), t.money("OCount"), t.money("SPrice"), t.money("WCount"),
                                   t.txt("UName", 20)}},
        {QStringLiteral("UList"), {t.id(), t.txt("theDate", 10), t.txt("theType", 12), t.txt("theNum", 15), t.money("theIn"),
                                   t.money("theOut"), t.txt("MName", 20), t.txt("UName", 20), t.txt("IName", 20)}},
        {QStringLiteral("UBB"), ubb},
    };
}

// The tables later upgrade steps make, each with the version whose step makes it.
QList<QPair<int, Table>> laterTables(Engine e)
{
    const Types t{e};
    return {
        // The operation log: who did what, when, at which seat. Rows are only ever added.
        {7, {QStringLiteral("SOpLog"), {t.id(), t.txt("theTime", 19), t.txt("UName", 20), t.txt("theHost", 64),
                                        t.txt("theKind", 20), t.txt("theNum", 15), t.money("theAmount"),
                                        t.money("theCount"), t.txt("Remark", 255)}}},
    };
}

// The program's tables at `version` (0: this program's version).
QList<Table> tablesAt(Engine e, int version)
{
    if (version <= 0) version = currentSchemaVersion();
    QList<Table> out = tables(e);
    for (const auto &later : laterTables(e))
        if (later.first <= version) out << later.second;
    return out;
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
    // Statements without values are sent as they are (a server prepares no CREATE).
    if (binds.isEmpty()) {
        if (!q.exec(sql)) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
        return;
    }
    if (!q.prepare(sql)) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
    for (const QVariant &v : binds) q.addBindValue(v);
    if (!q.exec()) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
}

} // namespace

QStringList programTables(int version)
{
    QStringList out;
    for (const Table &t : tablesAt(Engine::File, version)) out << t.name;
    return out;
}

void createProgramTable(QSqlDatabase db, const QString &table)
{
    for (const auto &later : laterTables(EngineInfo::of(db)))
        if (later.second.name == table)
            exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(table, later.second.columns.join(QStringLiteral(", "))));
}

QList<SchemaColumn> programColumns(const QString &table)
{
    QList<SchemaColumn> out;
    for (const Table &t : tablesAt(Engine::File, 0)) {
        if (t.name.compare(table, Qt::CaseInsensitive) != 0) continue;
        for (const QString &definition : t.columns) {
            // "name TYPE …" as the file declares it.
            const QStringList w = definition.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QString type = w.value(1).section(QLatin1Char('('), 0, 0).toUpper();
            SchemaColumn c;
            c.name = w.value(0);
            c.money = type == EngineInfo::moneyType(Engine::File).toUpper();
            c.number = c.money || type == QLatin1String("INT") || type == QLatin1String("INTEGER")
                       || type == EngineInfo::bitType(Engine::File).toUpper();
            out << c;
        }
    }
    return out;
}

bool hasProgramTables(QSqlDatabase db)
{
    QStringList have;
    try {
        have = EngineInfo::tableNames(db);
    } catch (const DbError &) {
        return false;
    }
    for (const Table &t : tables(EngineInfo::of(db)))
        if (!have.contains(t.name, Qt::CaseInsensitive)) return false;
    return true;
}

void createFirstSchema(QSqlDatabase db)
{
    Transaction tx(db);
    for (const Table &t : tables(EngineInfo::of(db)))
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
