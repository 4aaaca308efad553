// A fresh database holds the schema and exactly the initial rows.
#include "data/connection.h"
#include "data/globals.h"
#include "data/menutable.h"
#include "data/passwords.h"
#include "testdb.h"

#include <QSqlRecord>
#include <QSqlDatabase>
#include <QtTest>

class TstSchema : public QObject {
    Q_OBJECT
private slots:
    void documentTitlesInOrder();
    void initialRows();
    void menuCodesFollowTheMenuTree();
    void everyTableHasItsColumns_data();
    void everyTableHasItsColumns();
    void existingFileIsOpenedAsItIs();
    void unreadableFileFails();
};

void TstSchema::documentTitlesInOrder()
{
    TestDb t;
    const auto r = t.dm().rows("select ID, theName from SDJ order by ID");
    const QStringList expected{"采购入库单", "采购退货单", "付款单", "销售出库单", "销售退货单",
                               "收款单", "商品报损单", "商品报溢单", "商品调拨单", "商品拆装单"};
    QCOMPARE(r.size(), expected.size());
    for (int i = 0; i < r.size(); ++i) {
        QCOMPARE(r[i][0].toInt(), i + 1);
        QCOMPARE(r[i][1].toString(), expected[i]);
    }
}

void TstSchema::initialRows()
{
    TestDb t;
    auto &dm = t.dm();
    QCOMPARE(dm.rows("select theName, Remark, theState from SAccount"),
             (QVector<QVariantList>{{"现金", "", "启用"}}));
    QCOMPARE(dm.rows("select theName from SUType order by ID"),
             (QVector<QVariantList>{{"两者皆是"}, {"供应商"}, {"客户"}}));
    const auto user = dm.rows("select ID, theName, thePass, theState, theZH, theCK, theJSR, theSFKR from SUser");
    QCOMPARE(user.size(), 1);
    QCOMPARE(user[0][0].toInt(), 1);
    QCOMPARE(user[0][1].toString(), QString("系统管理员"));
    // The empty password, kept as its hash like every other.
    QVERIFY2(user[0][2].toString().startsWith("$argon2id$"), qPrintable(user[0][2].toString()));
    QVERIFY(Passwords::verify(QString(), user[0][2].toString()));
    QVERIFY(!Passwords::verify(" ", user[0][2].toString()));
    QCOMPARE(user[0][3].toString(), QString("启用"));
    QCOMPARE(user[0][4].toString(), QString("现金"));
    const auto dept = dm.rows("select theName, theTX, theKC, theJH, theXS, theJH1, theXS1, theCB, theFKC, theKCMin, theKCMax from SDept");
    QCOMPARE(dept.size(), 1);
    QCOMPARE(dept[0][0].toString(), QString("Tavrel软件"));
    const QList<int> flags{dept[0][1].toInt(), dept[0][2].toInt(), dept[0][3].toInt(), dept[0][4].toInt(),
                           dept[0][5].toInt(), dept[0][6].toInt(), dept[0][8].toInt()};
    QCOMPARE(flags, (QList<int>{0, 0, 0, 0, 1, 1, 0}));
    QCOMPARE(dept[0][7].toString(), QString("采购单价"));
    QCOMPARE(Money::fromVariant(dept[0][9]).toString(), QString("0"));
    QCOMPARE(Money::fromVariant(dept[0][10]).toString(), QString("1000"));
    // Nothing else: no products, partners, dictionaries or documents.
    for (const char *table : {"SShop", "SUnits", "SWare", "SStaff", "SType", "UJH", "UXS", "UKC", "SList", "UList", "UBB"})
        QCOMPARE(dm.value(QString("select count(*) from %1").arg(table)).toInt(), 0);

    // The shop row reaches the global values.
    dm.FindDept();
    QCOMPARE(G.ShopName, QString("Tavrel软件"));
    QCOMPARE(G.ShopTX, QString("False"));
    QCOMPARE(G.ShopCB, QString("采购单价"));
    QVERIFY(G.ShopJH1);
    QVERIFY(G.ShopXS1);
    QVERIFY(!G.ShopJH);
    QVERIFY(!G.ShopFKC);
    QCOMPARE(G.ShopKCMax, QString("1000"));
}

void TstSchema::menuCodesFollowTheMenuTree()
{
    TestDb t;
    const auto menu = t.dm().rows("select MNum, MName from SMenu order by MNum");
    const auto items = codedMenuItems();
    QCOMPARE(menu.size(), items.size());
    // Spot checks of the code scheme: separators count, names end at the first blank.
    QHash<QString, QString> byCode;
    for (const auto &r : menu) byCode.insert(r[0].toString(), r[1].toString());
    QCOMPARE(byCode.value("000"), QString("本店信息 "));
    QCOMPARE(byCode.value("003"), QString("-"));
    QCOMPARE(byCode.value("014"), QString("退出 "));
    QCOMPARE(byCode.value("108"), QString("采购退货收款查询 "));
    QCOMPARE(byCode.value("208"), QString("销售退货付款查询 "));
    QCOMPARE(byCode.value("319"), QString("商品拆装管理 "));
    QCOMPARE(byCode.value("411"), QString("收款单管理 "));
    QCOMPARE(byCode.value("511"), QString("销售退货统计 "));
    QCOMPARE(menu.first()[0].toString(), QString("000"));
    QCOMPARE(menu.last()[0].toString(), QString("511"));
    // The first user may use everything.
    QCOMPARE(t.dm().rows("select MNum from SLevel where UID=1 order by MNum"),
             t.dm().rows("select MNum from SMenu order by MNum"));
}

void TstSchema::everyTableHasItsColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::newRow("SShop") << "SShop" << "ID,theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,theKCMin,theKCMax,theCD,thePH,Remark,theDate,theState,theDel";
    QTest::newRow("SUnits") << "SUnits" << "ID,theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel";
    QTest::newRow("SType") << "SType" << "ID,theName,Remark,theState,theZK";
    QTest::newRow("SDept") << "SDept" << "theName,thePhone,theAdd,theGG,theZH,theSW,theT1,theT2,theGS,theTX,theKC,theJH,theXS,theJH1,theXS1,theCB,theFKC,theKCMin,theKCMax";
    QTest::newRow("SUser") << "SUser" << "ID,theName,thePass,Remark,theState,theCK,theZH,theJSR,theSFKR";
    QTest::newRow("UJH") << "UJH" << "ID,theNum,theDate,myDate,UID,MName,WName,AName,UName,IName,Remark,theHJ,theSJ,theYF,theCount,theDX,theYC,theDel";
    QTest::newRow("UCG_O") << "UCG_O" << "ID,theNum,theDate,myDate,UID,MName,WName,AName,UName,IName,Remark,theHJ,theSJ,theYS,theCount,theDX,theDel";
    QTest::newRow("UXS") << "UXS" << "theYS,theYC";
    QTest::newRow("UXS_O") << "UXS_O" << "theYF";
    QTest::newRow("UXS_List") << "UXS_List" << "ID,theNum,theBH,SID,thePrice,theCount,theSum,Remark,theZK,theJJ";
    QTest::newRow("UCZ_I_List") << "UCZ_I_List" << "ID,theNum,theBH,SID,thePrice,theCount,theSum,Remark";
    QTest::newRow("UJH_FK") << "UJH_FK" << "ID,theNum,FKDate,theMoney,AName,theFKR";
    QTest::newRow("UCG_O_SK") << "UCG_O_SK" << "ID,theNum,SKDate,theMoney,AName,theSKR";
    QTest::newRow("UFK") << "UFK" << "ID,theNum,theDate,myDate,UID,MName,AName,UName,IName,Remark,theDX,theDel,theFK";
    QTest::newRow("USK") << "USK" << "theSK";
    QTest::newRow("UDB") << "UDB" << "ID,theNum,theDate,myDate,WName,DName,UName,IName,Remark,theSum,theCount,theDX,theDel";
    QTest::newRow("UCZ") << "UCZ" << "ID,theNum,theDate,myDate,WName,DName,UName,IName,Remark,theDel";
    QTest::newRow("UKC") << "UKC" << "ID,WName,SID,theCount";
    QTest::newRow("SList") << "SList" << "ID,theDate,theType,theNum,WName,SID,ICount,OCount,SPrice,WCount,UName";
    QTest::newRow("UList") << "UList" << "ID,theDate,theType,theNum,theIn,theOut,MName,UName,IName";
    QTest::newRow("UBB") << "UBB" << "ID,theDate,CG1,CG2,CG3,CG4,CG5,CT1,CT2,CT3,CT4,CT5,FK1,FK2,XS1,XS2,XS3,XS4,XS5,XT1,XT2,XT3,XT4,XT5,SK1,SK2,BS1,BS2,BS3,BY1,BY2,BY3";
    QTest::newRow("SMenu") << "SMenu" << "MNum,MName";
    QTest::newRow("SLevel") << "SLevel" << "UID,MNum";
}

void TstSchema::everyTableHasItsColumns()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    TestDb t;
    const QSqlRecord rec = t.db().record(table);
    QVERIFY2(!rec.isEmpty(), qPrintable(table));
    for (const QString &c : columns.split(','))
        QVERIFY2(rec.contains(c), qPrintable(table + "." + c));
}

void TstSchema::existingFileIsOpenedAsItIs()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QString err;
    QVERIFY2(openDatabase(file, "first", &err), qPrintable(err));
    {
        QSqlDatabase db = QSqlDatabase::database("first");
        QSqlQuery q(db);
        QVERIFY(q.exec("update SDept set theName='我的小店'"));
        db.close();
    }
    QSqlDatabase::removeDatabase("first");
    QVERIFY2(openDatabase(file, "second", &err), qPrintable(err));
    {
        QSqlQuery q(QSqlDatabase::database("second"));
        QVERIFY(q.exec("select theName from SDept"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("我的小店"));
        QVERIFY(q.exec("select count(*) from SDJ"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 10);
    }
    QSqlDatabase::database("second").close();
    QSqlDatabase::removeDatabase("second");
}

void TstSchema::unreadableFileFails()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Data");
    const QString file = dir.path() + "/Data/db.edb";
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    QString err;
    QVERIFY(!openDatabase(file, "broken", &err));
    // The message shown names the file and what is wrong with it.
    QVERIFY2(err.startsWith("文件不是本程序的数据库：" + QDir::toNativeSeparators(file)), qPrintable(err));
    QSqlDatabase::removeDatabase("broken");
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
