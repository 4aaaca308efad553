#include "benchdb.h"

#include "data/bookscopy.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "data/engine.h"
#include "data/transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <utility>
#include <cstdio>
#include <ctime>

namespace BenchDb {

namespace {

// Raised whenever what the builder writes changes, so that older files are made anew.
const char *const BuilderVersion = "3";

QString readyMark(const QString &folder) { return folder + QStringLiteral("/Data/bench-ready"); }

void exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) throw DbError(q.lastError().text() + QLatin1Char('\n') + sql);
}

// One step of the build in its own transaction, with its time printed.
void step(QSqlDatabase db, const char *what, const QStringList &statements)
{
    QElapsedTimer t;
    t.start();
    Transaction tx(db);
    for (const QString &s : statements) exec(db, s);
    tx.commit();
    std::printf("  %-40s %6.1f s\n", what, t.elapsed() / 1000.0);
    std::fflush(stdout);
}

// The SQL below is full of '%' (modulo, printf, strftime): values go in by
// named markers "{name}" instead of QString::arg.
using Marks = std::initializer_list<std::pair<const char *, QString>>;
QString sql(const char *text, Marks marks = {})
{
    QString s = QString::fromUtf8(text);
    for (const auto &m : marks) s.replace(QLatin1Char('{') + QLatin1String(m.first) + QLatin1Char('}'), m.second);
    return s;
}
QString num(qint64 n) { return QString::number(n); }

// A counter 0..n-1 as the table n(i).
QString counter(int n)
{
    return sql("with recursive n(i) as (select 0 union all select i+1 from n where i<{last}) ", {{"last", num(n - 1)}});
}

// The warehouse of the i-th row: six in ten the first, then fewer and fewer.
QString warehouseOf(const QString &i)
{
    return sql("case {i}%10 when 6 then '二号库' when 7 then '二号库' when 8 then '三号库' "
               "when 9 then case ({i}/10)%2 when 0 then '四号库' else '五号库' end else '一号库' end",
               {{"i", i}});
}

// The product of the j-th line of a table of `perDoc` lines a document: the
// popular product once in every block of lines (at a place that moves from
// block to block, so that half of its lines fall on the big partner's
// documents, which are the even ones); the other popular product on the
// middle line of two documents in fifty, both odd; four in five of the rest
// among the first 20 000 products.
QString productOf(const QString &j, int perDoc)
{
    return sql("case when {j}%{block} = ({j}/{block})%{perDoc} then {popular} "
               "when ({j}/{perDoc})%50 in (1,13) and {j}%{perDoc}={perDoc}/2 then {others} "
               "when {j}%5<4 then 1+({j}*7919)%20000 else 1+({j}*104729)%100000 end",
               {{"j", j}, {"block", num(DocumentsPerKind * perDoc / 2000)}, {"perDoc", num(perDoc)},
                {"popular", num(PopularProduct)}, {"others", num(OthersProduct)}});
}

struct Kind {
    const char *head, *lines, *prefix, *owed, *settle, *settleDate, *settlePerson;
    bool purchaseSide, preSave, salesLines;
    int perDoc;
};

const Kind Kinds[] = {
    {"UJH", "UJH_List", "CG", "theYF", "UJH_FK", "FKDate", "theFKR", true, true, false, 10},
    {"UXS", "UXS_List", "XS", "theYS", "UXS_SK", "SKDate", "theSKR", false, true, true, 10},
    {"UCG_O", "UCG_O_List", "CT", "theYS", "UCG_O_SK", "SKDate", "theSKR", true, false, false, 3},
    {"UXS_O", "UXS_O_List", "XT", "theYF", "UXS_O_FK", "FKDate", "theFKR", false, false, false, 3},
};

QStringList masterData()
{
    QStringList s;
    s << sql("update SDept set theJH1=1, theXS1=1, theCB='移动加权平均'");
    for (const char *w : Warehouses)
        s << sql("insert into SWare(theName,Remark,theState) values('{w}','','启用')", {{"w", QString::fromUtf8(w)}});
    s << sql("insert into SAccount(theName,Remark,theState) values('银行','','启用')");
    for (const char *p : {"张三", "李四", "王五"})
        s << sql("insert into SStaff(theName,Remark,theState) values('{p}','','启用')", {{"p", QString::fromUtf8(p)}});

    // Twenty categories with their input codes.
    s << sql("create temp table cat(k integer primary key, name text, py text)");
    const char *cats[][2] = {{"饮料", "YL"}, {"食品", "SP"}, {"日化", "RH"}, {"文具", "WJ"}, {"五金", "WJ"},
                             {"电器", "DQ"}, {"服装", "FZ"}, {"鞋帽", "XM"}, {"玩具", "WJ"}, {"家居", "JJ"},
                             {"厨具", "CJ"}, {"酒水", "JS"}, {"乳品", "RP"}, {"粮油", "LY"}, {"调味", "TW"},
                             {"烟草", "YC"}, {"零食", "LS"}, {"水果", "SG"}, {"蔬菜", "SC"}, {"冷冻", "LD"}};
    for (int k = 0; k < 20; ++k) {
        const Marks m{{"k", num(k)}, {"name", QString::fromUtf8(cats[k][0])}, {"py", QLatin1String(cats[k][1])},
                      {"zk", num(k % 4 == 0 ? 90 : 100)}};
        s << sql("insert into cat values({k},'{name}','{py}')", m);
        s << sql("insert into SType(theName,Remark,theState,theZK) values('{name}','','启用',{zk})", m);
    }
    // Products: code "000001" …, name category + number + "号"; one in 250 disabled, one in 333 deleted.
    s << counter(Products) + sql(
        "insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,theKCMin,theKCMax,"
        "theCD,thePH,Remark,theDate,theState,theDel) "
        "select printf('%06d',i+1), c.name||(i+1)||'号', c.py||(i+1), c.name, (1+i%6)*250||'ml', "
        "case i%3 when 0 then '个' when 1 then '瓶' else '箱' end, 1+(i%50)+(i%4)*0.25, 2+(i%50)+(i%4)*0.5, "
        "1+(i%50)+(i%4)*0.25, case when i%4=0 then 90 else 100 end, 0, 1000, '', '', "
        "case when i%7=0 then '常备' else '' end, date('2004-01-01','+'||(i/30)||' days'), "
        "case when (i+1)%250=0 then '停用' else '启用' end, case when (i+1)%333=0 then '是' else '否' end "
        "from n join cat c on c.k=i%20");
    s << sql("drop table cat");

    // Partners: 1 the big supplier, 2 the big customer, 3..999 suppliers,
    // 1000..2000 customers, one in four of both kinds.
    s << sql("insert into SUnits(ID,theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
             "values({big},'宏达批发总公司','HDPFZGS','陈经理','13800000001','城东批发市场1号','主要供货','供应商',0,5000,'启用','否'),"
             "({cust},'零售散客','LSSK','','','','','客户',0,0,'启用','否')",
             {{"big", num(BigSupplier)}, {"cust", num(BigCustomer)}});
    s << sql("with recursive n(i) as (select 3 union all select i+1 from n where i<{last}) "
             "insert into SUnits(ID,theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
             "select i, case when i<1000 then '供货商'||i else '客户'||i end, "
             "case when i<1000 then 'GHS'||i else 'KH'||i end, '联系人'||i, printf('0571-%08d',i), '地址'||i, '', "
             "case when i%4=0 then '两者皆是' when i<1000 then '供应商' else '客户' end, "
             "case when i>=1000 then (i%97)*10 else 0 end, case when i<1000 then (i%89)*10 else 0 end, "
             "case when i%150=0 then '停用' else '启用' end, case when i%400=0 then '是' else '否' end from n",
             {{"last", num(Partners)}});

    // Stock: the first warehouse holds every product, the others fewer and fewer.
    const int held[] = {Products, 40000, 20000, 10000, 5000};
    for (int w = 0; w < 5; ++w)
        s << counter(held[w]) + sql("insert into UKC(WName,SID,theCount) select '{w}', i+1, (i*13)%500 from n",
                                    {{"w", QString::fromUtf8(Warehouses[w])}});
    return s;
}

QStringList tradeDocuments(const Kind &k)
{
    const QString partner = k.purchaseSide ? sql("case when i%2=0 then {big} else 3+(i*37)%997 end", {{"big", num(BigSupplier)}})
                                           : sql("case when i%2=0 then {big} else 1000+(i*37)%1001 end", {{"big", num(BigCustomer)}});
    const QString j = sql("((H.ID-1)*{perDoc}+k.b-1)", {{"perDoc", num(k.perDoc)}});
    const QString price = sql("(1+({j}%50)+({j}%4)*0.25)", {{"j", j}});
    const QString count = sql("(1+{j}%5)", {{"j", j}});
    const Marks m{{"head", QLatin1String(k.head)}, {"lines", QLatin1String(k.lines)}, {"prefix", QLatin1String(k.prefix)},
                  {"owed", QLatin1String(k.owed)}, {"settle", QLatin1String(k.settle)},
                  {"settleDate", QLatin1String(k.settleDate)}, {"person", QLatin1String(k.settlePerson)},
                  {"partner", partner}, {"warehouse", warehouseOf(QStringLiteral("i"))},
                  {"ycColumn", k.preSave ? QStringLiteral("theYC,") : QString()},
                  {"ycValue", k.preSave ? QStringLiteral("case when i%200=7 then '是' else '否' end, ") : QString()},
                  {"posted", k.preSave ? QStringLiteral("and theYC='否' ") : QString()},
                  {"perDoc", num(k.perDoc)}, {"product", productOf(j, k.perDoc)}, {"price", price}, {"count", count},
                  {"salesColumns", k.salesLines ? QStringLiteral(",theZK,theJJ") : QString()},
                  {"salesValues", k.salesLines ? sql(", case when {j}%4=0 then 90 else 100 end, {price}*0.8",
                                                     {{"j", j}, {"price", price}})
                                               : QString()}};
    QStringList s;
    // Fourteen documents a day from 2004-01-01: ten years.
    s << counter(DocumentsPerKind) + sql(
             ", d(i,day,uid) as (select i, date('2004-01-01','+'||(i/14)||' days'), {partner} from n) "
             "insert into {head}(theNum,theDate,myDate,UID,MName,WName,AName,UName,IName,Remark,theHJ,theSJ,{owed},"
             "theCount,theDX,{ycColumn}theDel) "
             "select '{prefix}'||substr(strftime('%Y%m%d',day),3)||'-'||printf('%04d',i%14+1), day, day, uid, "
             "(select theName from SUnits where ID=uid), {warehouse}, case when i%3=0 then '银行' else '现金' end, "
             "case i%3 when 0 then '张三' when 1 then '李四' else '王五' end, '系统管理员', "
             "case when i%11=0 then '月结' else '' end, 0, 0, 0, 0, '', {ycValue}"
             "case when i%97=0 then '是' else '否' end from d", m);
    // Lines, in the order of their documents.
    s << sql("with recursive k(b) as (select 1 union all select b+1 from k where b<{perDoc}) "
             "insert into {lines}(theNum,theBH,SID,thePrice,theCount,theSum,Remark{salesColumns}) "
             "select H.theNum, k.b, {product}, {price}, {count}, {price}*{count}, ''{salesValues} "
             "from {head} H, k order by H.ID, k.b", m);
    // Totals from the lines; a quarter left owing, some half paid.
    s << sql("update {head} set theHJ=(select sum(theSum) from {lines} L where L.theNum={head}.theNum), "
             "theCount=(select sum(theCount) from {lines} L where L.theNum={head}.theNum)", m);
    s << sql("update {head} set theSJ=case ID%4 when 0 then 0 when 1 then round(theHJ/2,2) else theHJ end, "
             "theDX='（略）'", m);
    s << sql("update {head} set {owed}=theHJ-theSJ", m);
    // The amount paid at entry as a settlement row, and now and then a later one.
    s << sql("insert into {settle}(theNum,{settleDate},theMoney,AName,{person}) "
             "select theNum, theDate, theSJ, AName, UName from {head} where theSJ<>0 {posted}order by ID", m);
    s << sql("insert into {settle}(theNum,{settleDate},theMoney,AName,{person}) "
             "select theNum, date(theDate,'+30 days'), 1, AName, UName from {head} where ID%8=0 and {owed}>1 order by ID", m);
    return s;
}

QStringList vouchers()
{
    QStringList s;
    for (const bool pay : {true, false}) {
        s << counter(10000) + sql(
                 ", d(i,day) as (select i, date('2004-01-01','+'||(i*5/14)||' days') from n) "
                 "insert into {table}(theNum,theDate,myDate,UID,MName,AName,UName,IName,Remark,theDX,theDel,{amount}) "
                 "select '{prefix}'||substr(strftime('%Y%m%d',day),3)||'-'||printf('%04d',i%3+1), day, day, {partner}, "
                 "(select theName from SUnits where ID={partner}), '现金', '张三', '系统管理员', '', '', "
                 "case when i%97=0 then '是' else '否' end, 100+i%900 from d",
                 {{"table", pay ? QStringLiteral("UFK") : QStringLiteral("USK")},
                  {"amount", pay ? QStringLiteral("theFK") : QStringLiteral("theSK")},
                  {"prefix", pay ? QStringLiteral("FK") : QStringLiteral("SK")},
                  {"partner", pay ? sql("(case when i%2=0 then {big} else 3+(i*37)%997 end)", {{"big", num(BigSupplier)}})
                                  : sql("(case when i%2=0 then {big} else 1000+(i*37)%1001 end)", {{"big", num(BigCustomer)}})}});
    }
    return s;
}

QStringList stockDocuments()
{
    QStringList s;
    struct StockKind { const char *head, *prefix; bool issuing, totals; QStringList lineTables; };
    const StockKind kinds[] = {
        {"UDB", "DB", true, true, {QStringLiteral("UDB_List")}},
        {"UBS", "BS", false, true, {QStringLiteral("UBS_List")}},
        {"UBY", "BY", false, true, {QStringLiteral("UBY_List")}},
        {"UCZ", "CZ", true, false, {QStringLiteral("UCZ_O_List"), QStringLiteral("UCZ_I_List")}},
    };
    for (const StockKind &k : kinds) {
        const Marks m{{"head", QLatin1String(k.head)}, {"prefix", QLatin1String(k.prefix)},
                      {"warehouse", warehouseOf(QStringLiteral("i"))},
                      {"dColumn", k.issuing ? QStringLiteral("DName,") : QString()},
                      {"dValue", k.issuing ? warehouseOf(QStringLiteral("(i+7)")) + QStringLiteral(", ") : QString()},
                      {"tColumns", k.totals ? QStringLiteral("theSum,theCount,theDX,") : QString()},
                      {"tValues", k.totals ? QStringLiteral("50, 5, '伍拾元整', ") : QString()}};
        s << counter(5000) + sql(
                 ", d(i,day) as (select i, date('2004-01-01','+'||(i*5/7)||' days') from n) "
                 "insert into {head}(theNum,theDate,myDate,WName,{dColumn}UName,IName,Remark,{tColumns}theDel) "
                 "select '{prefix}'||substr(strftime('%Y%m%d',day),3)||'-'||printf('%04d',i%2+1), day, day, {warehouse}, {dValue}"
                 "'张三', '系统管理员', '', {tValues}case when i%97=0 then '是' else '否' end from d", m);
        for (const QString &lines : k.lineTables)
            s << sql("with recursive k(b) as (select 1 union all select b+1 from k where b<5) "
                     "insert into {lines}(theNum,theBH,SID,thePrice,theCount,theSum,Remark) "
                     "select H.theNum, k.b, 1+((H.ID*5+k.b)*7919)%20000, 10, 1, 10, '' from {head} H, k order by H.ID, k.b",
                     {{"lines", lines}, {"head", QLatin1String(k.head)}});
    }
    return s;
}

QStringList ledgers()
{
    const QString day = QStringLiteral("date('2004-01-01','+'||(i/280)||' days')");
    QStringList s;
    // The stock ledger: a million movements over ten years, mostly receipts and
    // deliveries, the popular product on one row in 500.
    s << counter(1000000) + sql(
             "insert into SList(theDate,theType,theNum,WName,SID,ICount,OCount,SPrice,WCount,UName) "
             "select {day}, "
             "case i%10 when 0 then '采购入库' when 1 then '采购入库' when 2 then '采购入库' when 3 then '采购退货' "
             "when 4 then '销售退货' when 5 then '调拨出库' when 6 then '调拨入库' when 7 then '商品报损' "
             "else '销售出库' end, "
             "case when i%10<3 then 'CG' when i%10=3 then 'CT' when i%10=4 then 'XT' when i%10<7 then 'DB' "
             "when i%10=7 then 'BS' else 'XS' end||substr(strftime('%Y%m%d',{day}),3)||'-'||printf('%04d',i%14+1), "
             "{warehouse}, case when i%500=0 then {popular} when i%5<4 then 1+(i*7919)%20000 else 1+(i*104729)%100000 end, "
             "case when i%10 in (0,1,2,4,6) then 1+i%5 else 0 end, case when i%10 in (0,1,2,4,6) then 0 else 1+i%5 end, "
             "1+(i%50), (i*13)%500, case i%3 when 0 then '张三' when 1 then '李四' else '系统管理员' end from n",
             {{"day", day}, {"warehouse", warehouseOf(QStringLiteral("i"))}, {"popular", num(PopularProduct)}});
    // The money log.
    s << counter(200000) + sql(
             "insert into UList(theDate,theType,theNum,theIn,theOut,MName,UName,IName) "
             "select {day}, "
             "case i%6 when 0 then '采购入库录入' when 1 then '采购退货录入' when 2 then '销售退货录入' "
             "when 3 then '付款单录入' when 4 then '收款单录入' else '销售出库录入' end, "
             "case i%6 when 0 then 'CG' when 1 then 'CT' when 2 then 'XT' when 3 then 'FK' when 4 then 'SK' else 'XS' end"
             "||substr(strftime('%Y%m%d',{day}),3)||'-'||printf('%04d',i%14+1), "
             "case when i%6 in (1,4,5) then 10+i%990 else 0 end, case when i%6 in (1,4,5) then 0 else 10+i%990 end, "
             "case when i%3=0 then '银行' else '现金' end, '张三', '系统管理员' from n",
             {{"day", QStringLiteral("date('2004-01-01','+'||(i/56)||' days')")}});
    return s;
}

void build(QSqlDatabase db)
{
    QElapsedTimer t;
    t.start();
    std::printf("building the benchmark database (a few minutes):\n");
    // A larger page cache for the build only: the file itself is not changed by it.
    exec(db, QStringLiteral("PRAGMA cache_size=-262144"));
    step(db, "warehouses, products, partners, stock", masterData());
    for (const Kind &k : Kinds) step(db, k.head, tradeDocuments(k));
    step(db, "payment and receipt vouchers", vouchers());
    step(db, "transfers, losses, overages, assemblies", stockDocuments());
    step(db, "stock ledger and money log", ledgers());
    exec(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    exec(db, QStringLiteral("PRAGMA cache_size=-2000"));
    std::printf("built in %.0f s\n", t.elapsed() / 1000.0);
}

void removeFile(const QString &file)
{
    for (const char *suffix : {"", "-wal", "-shm"}) QFile::remove(file + QLatin1String(suffix));
}

} // namespace

QString file(const QString &folder) { return databaseFile(folder + QLatin1Char('/')); }

bool open(const QString &folder, const QString &name, QString *error)
{
    const QString db = file(folder);
    QFile mark(readyMark(folder));
    bool ready = false;
    if (QFileInfo::exists(db) && mark.open(QIODevice::ReadOnly)) {
        ready = mark.readAll().trimmed() == BuilderVersion;
        mark.close();
    }
    if (!ready) {
        QFile::remove(readyMark(folder));
        removeFile(db);
    }
    if (!openDatabase(db, name, error)) return false;
    if (ready) return true;
    try {
        build(QSqlDatabase::database(name));
    } catch (const DbError &e) {
        if (error) *error = e.text();
        return false;
    }
    if (!mark.open(QIODevice::WriteOnly) || mark.write(BuilderVersion) < 0) {
        if (error) *error = QStringLiteral("cannot write ") + mark.fileName();
        return false;
    }
    return true;
}

bool openServer(const QString &folder, const QString &url, const QString &name, QString *error)
{
    BooksLocation where;
    if (!BooksLocation::fromUrl(url, &where, error)) return false;
    const QString source = QStringLiteral("bench-source");
    if (!open(folder, source, error)) return false;
    bool ok = openBooks(where, name, error);
    if (ok) {
        QSqlDatabase from = QSqlDatabase::database(source);
        QSqlDatabase to = QSqlDatabase::database(name);
        auto count = [](QSqlDatabase db, const char *table) {
            QSqlQuery q(db);
            return q.exec(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))) && q.next() ? q.value(0).toLongLong() : -1;
        };
        // The copy leaves a mark of the builder that made the file; the
        // documents the timings add later do not matter.
        bool copied = false;
        {
            QSqlQuery q(to);
            copied = EngineInfo::tableNames(to).contains(QStringLiteral("benchcopy")) && q.exec(QStringLiteral("select theMark from BenchCopy"))
                     && q.next() && q.value(0).toString() == QLatin1String(BuilderVersion);
        }
        if (!copied && (count(to, "SShop") > 0 || count(to, "UJH") > 0)) {
            if (error) *error = QStringLiteral("the server database holds other books: give an empty database");
            ok = false;
        } else if (!copied) {
            QElapsedTimer t;
            t.start();
            std::printf("copying the benchmark database to the server:\n");
            try {
                Transaction tx(to);
                emptyBooks(to);
                copyBooksRows(from, to, [&](const QString &table) {
                    std::printf("  %-12s %6.1f s\n", qPrintable(table), t.elapsed() / 1000.0);
                    std::fflush(stdout);
                });
                markServerCopy(to);
                tx.commit();
            } catch (const DbError &e) {
                if (error) *error = e.text();
                ok = false;
            }
            std::printf("copied in %.0f s\n", t.elapsed() / 1000.0);
        }
    }
    closeDatabase(source);
    QSqlDatabase::removeDatabase(source);
    return ok;
}

void markServerCopy(QSqlDatabase db)
{
    exec(db, QStringLiteral("create table if not exists BenchCopy(theMark text)"));
    exec(db, QStringLiteral("delete from BenchCopy"));
    exec(db, QStringLiteral("insert into BenchCopy values('%1')").arg(QLatin1String(BuilderVersion)));
}

QString serverArgument(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--server") == 0) return QString::fromLocal8Bit(argv[i + 1]);
    return QString();
}

bool openChosen(const QString &folder, int argc, char **argv, const QString &name, QString *error)
{
    const QString server = serverArgument(argc, argv);
    if (server.isEmpty()) return open(folder, name, error);
    std::printf("books on the server %s\n", qPrintable(server));
    return openServer(folder, server, name, error);
}

bool hasStatistics(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select name from sqlite_master where name='sqlite_stat1'")) || !q.next()) return false;
    return q.exec(QStringLiteral("select count(*) from sqlite_stat1")) && q.next() && q.value(0).toInt() > 0;
}

double median(std::vector<double> ms)
{
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace BenchDb
