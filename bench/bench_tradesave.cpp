// Times the save of a 99-line purchase receipt and a 99-line sales delivery in
// a database the size of years of trading: 100 000 products, 1 000 000 stock
// ledger rows and 50 000 documents. Builds that database itself (in a temporary
// folder, or in the folder given as the first argument, reused when present).
//
//   bench_tradesave [folder] [rounds]
#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "trade/tradedoc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void fill(frmDM &dm)
{
    QElapsedTimer t;
    t.start();
    Transaction tx(dm.db());
    dm.mySQL("insert into SWare(theName,Remark,theState) values('一号库','','启用')");
    dm.mySQL("insert into SStaff(theName,Remark,theState) values('张三','','启用')");
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<100000) "
             "insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,theKCMin,theKCMax,"
             "theCD,thePH,Remark,theDate,theState,theDel) "
             "select printf('P%06d',i), '商品'||i, 'SP'||i, '', '', '个', 1+(i%50), 2+(i%50), 1+(i%50), 100, 0, 1000, '', '', '', "
             "'2012-01-01', '启用', '否' from n");
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<2000) "
             "insert into SUnits(theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
             "select '单位'||i, 'DW'||i, '', '', '', '', '两者皆是', 0, 0, '启用', '否' from n");
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<100000) "
             "insert into UKC(WName,SID,theCount) select '一号库', i, 100000 from n");
    // 50 000 documents: 25 000 receipts and 25 000 deliveries, ten lines each, over about three years.
    for (const char *kind : {"UJH", "UXS"}) {
        const QString prefix = QString(kind) == "UJH" ? "CG" : "XS";
        dm.mySQL(QString("with recursive n(i) as (select 1 union all select i+1 from n where i<25000) "
                         "insert into %1(theNum,theDate,myDate,UID,MName,WName,AName,UName,IName,Remark,theHJ,theSJ,%2,theCount,theDX,theYC,theDel) "
                         "select '%3'||i, date('2010-01-01', '+'||(i/25)||' days'), date('2010-01-01', '+'||(i/25)||' days'), "
                         "1+(i%2000), '单位', '一号库', '现金', '张三', '系统管理员', '', 100, 100, 0, 10, '壹佰元整', '否', '否' from n")
                     .arg(kind, QString(kind) == "UJH" ? "theYF" : "theYS", prefix));
        dm.mySQL(QString("with recursive n(i) as (select 0 union all select i+1 from n where i<249999) "
                         "insert into %1_List(theNum,theBH,SID,thePrice,theCount,theSum,Remark) "
                         "select '%2'||(1+i/10), 1+(i%10), 1+((i*7919)%100000), 10, 1, 10, '' from n")
                     .arg(kind, prefix));
    }
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<1000000) "
             "insert into SList(theDate,theType,theNum,WName,SID,ICount,OCount,SPrice,WCount,UName) "
             "select date('2010-01-01', '+'||(i/900)||' days'), '采购入库', 'CG'||(1+i/40), '一号库', 1+((i*31)%100000), 1, 0, 10, 100, '系统管理员' from n");
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<200000) "
             "insert into UList(theDate,theType,theNum,theIn,theOut,MName,UName,IName) "
             "select date('2010-01-01', '+'||(i/180)||' days'), '销售出库录入', 'XS'||i, 10, 0, '现金', '张三', '系统管理员' from n");
    tx.commit();
    dm.mySQL("analyze");
    std::printf("built the database in %.1f s\n", t.elapsed() / 1000.0);
}

TradeDoc makeDoc(TradeKind kind, int round)
{
    TradeDoc d;
    d.kind = kind;
    d.uid = 1 + round;
    d.partnerName = "单位";
    d.myDate = G.WorkDate;
    d.warehouse = "一号库";
    d.handler = "张三";
    d.account = "现金";
    d.person = "张三";
    for (int i = 0; i < 99; ++i) {
        TradeLine l;
        l.sid = 1 + ((round * 997 + i * 1013) % 100000);
        l.code = "P";
        l.name = "商品";
        l.price = Money::fromString("12.5");
        l.count = Money::fromString("2");
        d.lines << l;
    }
    d.paidText = d.total().toString();
    return d;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    const QString file = folder + "/Data/db.edb";
    const bool existed = QFileInfo::exists(file);
    QString err;
    if (!openDatabase(file, MainConnection, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(MainConnection));
    G.WorkDate = "2013-06-01";
    G.LoginName = "系统管理员";
    G.ShopCB = "移动加权平均";
    G.ShopFKC = false;
    if (!existed) fill(dm);

    for (TradeKind kind : {TradeKind::Purchase, TradeKind::Sales}) {
        std::vector<double> ms;
        for (int r = 0; r < rounds; ++r) {
            const TradeDoc d = makeDoc(kind, r);
            QElapsedTimer t;
            t.start();
            if (!checkTradeDoc(dm, d).ok()) { std::fprintf(stderr, "check refused\n"); return 1; }
            saveTradeDoc(dm, d);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("%s, 99 lines: median %.1f ms over %d saves (min %.1f, max %.1f)\n",
                    kind == TradeKind::Purchase ? "purchase receipt" : "sales delivery", median(ms), rounds,
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    }
    return 0;
}
