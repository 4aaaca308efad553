// Spreadsheet import of products and partners: reading the sheet "Sheet1" of
// .xls and .xlsx workbooks, the import rules, the one-transaction refusals and
// the two screens.
//
// The workbooks in tests/data were written by a spreadsheet program, not by
// this program: the flat ODF sources import_products.fods and
// import_partners.fods were typed by hand and converted with LibreOffice Calc
// 7.4 (Debian 12, libreoffice-calc-nogui):
//   soffice --headless --convert-to xlsx import_products.fods
//   soffice --headless --convert-to xls  import_products.fods
//   soffice --headless --convert-to xls  import_partners.fods
// The product sheet has its columns in another order than the rule label and
// an extra column "产地"; the partner workbook has a sheet "说明" before "Sheet1".
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "master/frmimport.h"
#include "master/sheet.h"
#include "master/sheetimport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

QString data(const char *name) { return QStringLiteral(TEST_DATA "/") + QLatin1String(name); }

Sheet readOrFail(const QString &file, const QString &name = QStringLiteral("Sheet1"))
{
    Sheet s;
    QString error;
    if (!SheetFile::read(file, name, &s, &error)) qWarning("%s", qPrintable(error));
    return s;
}

// A sheet given by rows of texts, the first row the names.
Sheet sheetOf(const QList<QStringList> &rows)
{
    SheetFile::Builder b;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) b.set(r, c, rows[r][c]);
    return b.take();
}

QStringList productHeader()
{
    return {"商品编码", "商品分类", "商品名称", "规格", "单位", "采购单价", "销售单价", "库存数量", "备注"};
}

// The products of the fixture database: a live P200 and a deleted P100, the
// category 零食 at discount 90 and the warehouse 一号库.
struct Shop {
    TestDb t;
    int p200 = 0;
    int p100 = 0;
    Shop()
    {
        t.addWarehouse(QStringLiteral("一号库"));
        t.dm().mySQL("insert into SType(theName,Remark,theState,theZK) values('零食','',?,90)", {QStringLiteral("启用")});
        p200 = t.addProduct(QStringLiteral("老商品"), Money::fromString("8"), Money::fromString("10"));
        t.dm().mySQL("update SShop set theNum='P200',Remark='老备注',theType='零食' where ID=?", {p200});
        p100 = t.addProduct(QStringLiteral("删掉的薯片"), Money::fromString("3"), Money::fromString("4"));
        t.dm().mySQL("update SShop set theNum='P100',theDel='是' where ID=?", {p100});
    }
    frmDM &dm() { return t.dm(); }
    int n(const QString &sql, const QVariantList &binds = {}) { return dm().value(sql, binds).toInt(); }
    QVariantList product(const QString &code)
    {
        const auto r = dm().rows("select theType,theName,theStand,theUnit,theJH,theXS,theCB,Remark,thePY,theZK,theKCMin,"
                                 "theKCMax,theDate,theState,theDel,ID from SShop where theNum=? and theDel='否'",
                                 {code});
        return r.size() == 1 ? r[0] : QVariantList();
    }
    QString stock(int id)
    {
        const auto r = dm().rows("select theCount from UKC where WName='一号库' and SID=?", {id});
        return r.isEmpty() ? QStringLiteral("none") : Money::fromVariant(r[0][0]).toString();
    }
};

} // namespace

class tst_import : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        setSession();
        G.ShopKCMin = QStringLiteral("5");
        G.ShopKCMax = QStringLiteral("500");
    }

    void readsTheWorkbooks_data();
    void readsTheWorkbooks();
    void bothFormatsReadAlike();
    void readsSheet1ByName();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void importsProducts_data();
    void importsProducts();
    void noStockWithoutSaveStock();
    void refusalsImportNothing_data();
    void refusalsImportNothing();
    void stockNeedsAWarehouse();
    void importsPartners();
    void partnerImportRunsToTheEnd();
    void productScreen();
    void partnerScreenRealModalLoop();
};

void tst_import::readsTheWorkbooks_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << data("import_products.xls");
    QTest::newRow("xlsx") << data("import_products.xlsx");
}

void tst_import::readsTheWorkbooks()
{
    QFETCH(QString, file);
    const Sheet s = readOrFail(file);
    QCOMPARE(s.columns, (QStringList{"商品名称", "商品编码", "商品分类", "规格", "单位", "采购单价", "销售单价", "库存数量",
                                     "备注", "产地"}));
    QCOMPARE(s.rowCount(), 7);
    QCOMPARE(s.sheetRows, (QVector<int>{2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(s.missing(SheetImport::productColumns()), QStringList());
    const int code = s.column("商品编码"), price = s.column("采购单价"), sales = s.column("销售单价"),
              count = s.column("库存数量"), remark = s.column("备注");
    QCOMPARE(s.value(0, code), QStringLiteral("P001"));
    QCOMPARE(s.value(0, price), QStringLiteral("2.5"));
    QCOMPARE(s.value(0, sales), QStringLiteral("3"));
    // Empty cells are empty texts; a date shows as a date; a number as its digits.
    QCOMPARE(s.value(1, code), QString());
    QCOMPARE(s.value(1, remark), QStringLiteral("2012-11-16"));
    QCOMPARE(s.value(4, 0), QString());
    QCOMPARE(s.value(5, code), QStringLiteral("6901234567890"));
    QCOMPARE(s.value(5, price), QString());
    QCOMPARE(s.value(6, count), QStringLiteral("0.5"));
    QCOMPARE(s.value(6, 0).size(), 56);
}

void tst_import::bothFormatsReadAlike()
{
    const Sheet a = readOrFail(data("import_products.xls"));
    const Sheet b = readOrFail(data("import_products.xlsx"));
    QCOMPARE(a.columns, b.columns);
    QCOMPARE(a.rows, b.rows);
    QCOMPARE(a.sheetRows, b.sheetRows);
}

void tst_import::readsSheet1ByName()
{
    // The first sheet of this workbook is "说明"; the rows come from "Sheet1".
    const Sheet s = readOrFail(data("import_partners.xls"), QStringLiteral("sheet1"));
    QCOMPARE(s.columns, (QStringList{"单位名称", "联系人", "联系电话", "地址", "备注"}));
    QCOMPARE(s.rowCount(), 5);
    QCOMPARE(s.value(0, 2), QStringLiteral("13800000000"));
    QCOMPARE(s.value(3, 0), QString());
}

void tst_import::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("message");
    QTest::newRow("text file") << "商品编码,商品名称\n" << "Sheet1" << "不是 Excel 文件";
    QTest::newRow("empty file") << "" << "Sheet1" << "不是 Excel 文件";
    QTest::newRow("zip without workbook") << "zip" << "Sheet1" << "无法读取 Excel 文件";
    QTest::newRow("cut .xls") << "cut-xls" << "Sheet1" << "无法读取 Excel 文件";
    QTest::newRow("no such sheet in .xls") << "xls" << "Sheet9" << "没有名为 Sheet9 的工作表";
    QTest::newRow("no such sheet in .xlsx") << "xlsx" << "Sheet9" << "没有名为 Sheet9 的工作表";
}

void tst_import::refusesWhatItCannotRead()
{
    QFETCH(QString, content);
    QFETCH(QString, sheet);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString file = dir.filePath("book.xlsx");
    if (content == "xls") {
        file = data("import_products.xls");
    } else if (content == "xlsx") {
        file = data("import_products.xlsx");
    } else {
        QByteArray bytes = content.toUtf8();
        if (content == "zip") {
            // An archive with a stray part only (made from the fixture's own bytes would need a zip writer).
            bytes = QByteArray("PK\x03\x04", 4) + QByteArray(60, '\0');
        } else if (content == "cut-xls") {
            QFile f(data("import_products.xls"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            bytes = f.read(1024);
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Sheet s;
    s.columns << "untouched";
    QString error;
    QVERIFY(!SheetFile::read(file, sheet, &s, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(s.columns, QStringList{"untouched"});
}

void tst_import::importsProducts_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << data("import_products.xls");
    QTest::newRow("xlsx") << data("import_products.xlsx");
}

void tst_import::importsProducts()
{
    QFETCH(QString, file);
    Shop shop;
    const int typesBefore = shop.n("select count(*) from SType");
    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), readOrFail(file), true, "一号库");
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(o.imported, 5);
    QCOMPARE(o.skipped, 1);     // the row without a name
    QCOMPARE(o.categories, 1);  // 饮料, named twice, created once

    // A new category: enabled, discount 100, once; the existing one untouched.
    QCOMPARE(shop.n("select count(*) from SType"), typesBefore + 1);
    QCOMPARE(shop.dm().rows("select theState,theZK,Remark from SType where theName='饮料'"),
             (QVector<QVariantList>{{"启用", 100, ""}}));
    QCOMPARE(shop.n("select count(*) from SType where theName='零食'"), 1);

    const QVariantList cola = shop.product("P001");
    QCOMPARE(cola.mid(0, 4), (QVariantList{"饮料", "可口可乐", "500ml", "瓶"}));
    QCOMPARE(Money::fromVariant(cola[4]).toString(), QStringLiteral("2.5"));
    QCOMPARE(Money::fromVariant(cola[5]).toString(), QStringLiteral("3"));
    QCOMPARE(Money::fromVariant(cola[6]).toString(), QStringLiteral("2.5"));   // cost = purchase price
    QCOMPARE(cola[7].toString(), QStringLiteral("冷藏"));
    QCOMPARE(cola[8].toString(), QStringLiteral("KKKL"));
    QCOMPARE(cola[9].toInt(), 100);
    QCOMPARE(Money::fromVariant(cola[10]).toString(), QStringLiteral("5"));
    QCOMPARE(Money::fromVariant(cola[11]).toString(), QStringLiteral("500"));
    QCOMPARE(cola.mid(12, 3), (QVariantList{"2012-11-16", "启用", "否"}));
    QCOMPARE(shop.stock(cola[15].toInt()), QStringLiteral("10"));

    // A row without a code gets the next product number of the business date.
    const QVariantList sprite = shop.product("1211160002");
    QCOMPARE(sprite.value(1).toString(), QStringLiteral("雪碧"));
    QCOMPARE(sprite.value(7).toString(), QStringLiteral("2012-11-16"));
    QCOMPARE(shop.stock(sprite.value(15).toInt()), QStringLiteral("5"));

    // The code of a deleted product makes a new product; the deleted one stays as it was.
    const QVariantList chips = shop.product("P100");
    QCOMPARE(chips.value(1).toString(), QStringLiteral("薯片"));
    QVERIFY(chips.value(15).toInt() != shop.p100);
    QCOMPARE(chips.value(9).toInt(), 90);   // the discount of the existing category
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P100'"), 2);
    QCOMPARE(shop.stock(shop.p100), QStringLiteral("none"));

    // The code of a live product: nothing of it changes, its stock grows at its own purchase price.
    const QVariantList old = shop.product("P200");
    QCOMPARE(old.mid(0, 2), (QVariantList{"零食", "老商品"}));
    QCOMPARE(Money::fromVariant(old[4]).toString(), QStringLiteral("8"));
    QCOMPARE(old[7].toString(), QStringLiteral("老备注"));
    QCOMPARE(shop.stock(shop.p200), QStringLiteral("7"));
    QCOMPARE(shop.dm().rows("select theType,theNum,ICount,OCount,SPrice,WCount,theDate,UName from SList where SID=?",
                            {shop.p200}),
             (QVector<QVariantList>{{"商品导入", "", 7, 0, 8, 7, "2012-11-16", "系统管理员"}}));

    // A number as code, empty prices as 0, no quantity: no stock row.
    const QVariantList biscuit = shop.product("6901234567890");
    QCOMPARE(biscuit.value(1).toString(), QStringLiteral("饼干"));
    QCOMPARE(Money::fromVariant(biscuit.value(4)).toString(), QStringLiteral("0"));
    QCOMPARE(shop.stock(biscuit.value(15).toInt()), QStringLiteral("none"));

    // Texts cut to the field's length; the input code from the cut name.
    const QVariantList longOne = shop.product("P005");
    QCOMPARE(longOne.value(1).toString().size(), 50);
    QCOMPARE(longOne.value(0).toString(), QString());
    QCOMPARE(longOne.value(9).toInt(), 100);
    QCOMPARE(shop.stock(longOne.value(15).toInt()), QStringLiteral("0.5"));

    // The row without a name made nothing.
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P300'"), 0);
    QCOMPARE(shop.n("select count(*) from SList where theType='商品导入' and theNum=''"), 5);

    // The stock is booked at every run: a second import doubles it.
    const SheetImport::Outcome again = SheetImport::importProducts(shop.dm(), readOrFail(file), true, "一号库");
    QVERIFY(again.ok);
    QCOMPARE(again.categories, 0);
    QCOMPARE(shop.stock(cola[15].toInt()), QStringLiteral("20"));
}

void tst_import::noStockWithoutSaveStock()
{
    Shop shop;
    const SheetImport::Outcome o =
        SheetImport::importProducts(shop.dm(), readOrFail(data("import_products.xlsx")), false, QString());
    QVERIFY(o.ok);
    QCOMPARE(o.imported, 5);
    QCOMPARE(o.stockRows, 0);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
    QCOMPARE(shop.n("select count(*) from SList"), 0);
    // The row with a live product's code is passed over entirely.
    QCOMPARE(shop.product("P200").value(1).toString(), QStringLiteral("老商品"));
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P200'"), 1);
}

void tst_import::refusalsImportNothing_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("badRow");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    const QStringList h = productHeader();
    QTest::newRow("price not a number")
        << h << QStringList{"B2", "新分类", "坏价格", "", "个", "abc", "2", "1", ""}
        << "表格第 3 行的 采购单价 “abc”不是有效的数值" << 3 << "采购单价";
    QTest::newRow("grouped digits") << h << QStringList{"B2", "", "坏价格", "", "个", "1", "1,200", "1", ""}
                                    << "表格第 3 行的 销售单价 “1,200”不是有效的数值" << 3 << "销售单价";
    QTest::newRow("five decimals") << h << QStringList{"B2", "", "坏价格", "", "个", "1.23456", "2", "1", ""}
                                   << "表格第 3 行的 采购单价 最多只能有四位小数" << 3 << "采购单价";
    QTest::newRow("negative quantity") << h << QStringList{"B2", "", "坏数量", "", "个", "1", "2", "-3", ""}
                                       << "表格第 3 行的 库存数量 不能小于零" << 3 << "库存数量";
    QTest::newRow("quantity too large") << h << QStringList{"B2", "", "坏数量", "", "个", "1", "2", "1000000000", ""}
                                        << "表格第 3 行的 库存数量 “1000000000”超出允许的范围" << 3 << "库存数量";
    QStringList noRemark = h;
    noRemark.removeLast();
    QStringList noCount = h;
    noCount.removeAt(7);
    QTest::newRow("missing column") << noRemark << QStringList{"B2", "", "好", "", "个", "1", "2", "1"}
                                    << "Sheet1 的表头缺少以下列：备注" << 0 << "";
    QTest::newRow("missing columns before any row") << noCount << QStringList{"B2", "", "坏", "", "个", "x", "y", ""}
                                                    << "缺少以下列：库存数量" << 0 << "";
}

void tst_import::refusalsImportNothing()
{
    QFETCH(QStringList, header);
    QFETCH(QStringList, badRow);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(QString, column);
    Shop shop;
    // The first row alone would create a product, a category and stock.
    const QStringList good{"A1", "新分类", "好商品", "", "个", "1", "2", "3", ""};
    const Sheet s = sheetOf({header, good, badRow});
    const int products = shop.n("select count(*) from SShop"), types = shop.n("select count(*) from SType");

    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), s, true, "一号库");
    QVERIFY(!o.ok);
    QVERIFY2(o.message.contains(message), qPrintable(o.message));
    if (row) {
        QCOMPARE(o.failedRow, row);
        QVERIFY(o.message.contains(QStringLiteral("没有导入")));
        QCOMPARE(o.failedColumn, column);
    }
    QCOMPARE(shop.n("select count(*) from SShop"), products);
    QCOMPARE(shop.n("select count(*) from SType"), types);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
    QCOMPARE(shop.n("select count(*) from SList"), 0);
}

void tst_import::stockNeedsAWarehouse()
{
    Shop shop;
    const SheetImport::Outcome o =
        SheetImport::importProducts(shop.dm(), readOrFail(data("import_products.xls")), true, QString());
    QVERIFY(!o.ok);
    QCOMPARE(o.message, QStringLiteral("请选择 仓库名称！"));
    QCOMPARE(shop.n("select count(*) from SShop"), 2);
}

void tst_import::importsPartners()
{
    TestDb t;
    const int existing = t.addPartner(QStringLiteral("已有单位"), QStringLiteral("供应商"));
    t.dm().mySQL("update SUnits set thePro='原联系人' where ID=?", {existing});
    const int deleted = t.addPartner(QStringLiteral("大华批发"));
    t.dm().mySQL("update SUnits set theDel='是' where ID=?", {deleted});

    const SheetImport::Outcome o = SheetImport::importPartners(t.dm(), readOrFail(data("import_partners.xls")));
    QVERIFY(o.ok);
    QCOMPARE(o.imported, 2);
    QCOMPARE(o.skipped, 1);
    QCOMPARE(o.stoppedAtRow, 5);   // the row without a name ends the import
    QCOMPARE(t.dm().rows("select thePro,thePho,theAdd,Remark,thePY,theType,theState,theDel,theYS,theYF from SUnits "
                         "where theName='华联超市'"),
             (QVector<QVariantList>{{"张三", "13800000000", "北京", "", "HLCS", "两者皆是", "启用", "否", 0, 0}}));
    // The live partner of that name is left as it was; the deleted one does not count.
    QCOMPARE(t.dm().value("select thePro from SUnits where ID=?", {existing}).toString(), QStringLiteral("原联系人"));
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='已有单位'").toInt(), 1);
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='大华批发' and theDel='否'").toInt(), 1);
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='不会导入'").toInt(), 0);
}

void tst_import::partnerImportRunsToTheEnd()
{
    TestDb t;
    const QString longName = QString(60, QChar(0x5E97));
    const Sheet s = sheetOf({{"备注", "地址", "联系电话", "联系人", "单位名称"},
                             {"r", "a", "1", "p", longName},
                             {"", "", "", "", "  空格单位  "},
                             {"", "", "", "", "空格单位"}});
    const SheetImport::Outcome o = SheetImport::importPartners(t.dm(), s);
    QVERIFY(o.ok);
    QCOMPARE(o.stoppedAtRow, 0);
    QCOMPARE(o.imported, 2);
    QCOMPARE(o.skipped, 1);  // the same name once its blanks are trimmed
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName=?", {longName.left(50)}).toInt(), 1);
    // A missing column is told before any row.
    const SheetImport::Outcome m = SheetImport::importPartners(t.dm(), sheetOf({{"单位名称", "联系人"}, {"新单位", "x"}}));
    QVERIFY(!m.ok);
    QVERIFY(m.message.contains(QStringLiteral("联系电话、地址、备注")));
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='新单位'").toInt(), 0);
}

void tst_import::productScreen()
{
    Shop shop;
    MsgSpy msgs;
    frmShop_D w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("商品导入"));
    QCOMPARE(w.focusWidget(), w.openButton());
    QVERIFY(!w.importButton()->isEnabled());
    QCOMPARE(w.findChild<QLabel *>("Label1")->text(),
             QStringLiteral("打开的EXCEL文件的底部一定是Sheet1，表格头部顺序为商品编码、商品分类、商品名称、规格、单位、采购单价、"
                            "销售单价、库存数量、备注"));
    QCOMPARE(w.warehouse()->currentIndex(), -1);
    QCOMPARE(w.warehouse()->count(), 1);

    msgs.answer = true;
    Msg::setAnswerText(data("import_products.xlsx"));
    w.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::FileOpen);
    QVERIFY(msgs.shown.last().text.contains("*.xls") && msgs.shown.last().text.contains("*.xlsx"));
    QCOMPARE(w.dataGroup()->title(), QStringLiteral("EXCEL数据  共有 7 条数据"));
    QCOMPARE(w.grid()->model()->rowCount(), 7);
    QCOMPARE(w.grid()->columnWidth(2), 200);
    QCOMPARE(w.grid()->model()->headerData(0, Qt::Vertical).toInt(), 2);
    QCOMPARE(w.grid()->model()->index(0, 1).data().toString(), QStringLiteral("P001"));
    QVERIFY(w.importButton()->isEnabled());

    // A file that cannot be read is told; the grid keeps the sheet.
    Msg::setAnswerText(data("tst_import.nothing"));
    w.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QCOMPARE(w.grid()->model()->rowCount(), 7);

    // Stock asked for without a warehouse.
    w.saveStock()->setChecked(true);
    w.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("请选择 仓库名称！"));
    QCOMPARE(w.focusWidget(), w.warehouse());
    QCOMPARE(shop.n("select count(*) from SShop"), 2);

    // Choosing a warehouse ticks "保存库存".
    w.saveStock()->setChecked(false);
    w.warehouse()->setCurrentIndex(0);
    emit w.warehouse()->activated(0);
    QVERIFY(w.saveStock()->isChecked());
    w.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("成功导入数据 5 条！"));
    QVERIFY(!w.isVisible());
    QCOMPARE(shop.stock(shop.p200), QStringLiteral("7"));
}

void tst_import::partnerScreenRealModalLoop()
{
    TestDb t;
    Msg::setHandler(nullptr);
    frmUnits_D w;
    QStringList shown;
    auto closeBox = [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    };
    QTimer::singleShot(0, &w, [&] {
        QVERIFY(w.openFile(data("import_partners.xls")));
        QCOMPARE(w.dataGroup()->title(), QStringLiteral("EXCEL数据  共有 5 条数据"));
        QCOMPARE(w.grid()->columnWidth(0), 120);
        QTimer::singleShot(50, &w, closeBox);
        w.importButton()->click();
        // The import stopped at the row without a name: the screen stays open.
        QTimer::singleShot(0, &w, [&] { w.reject(); });
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *m = QApplication::activeModalWidget()) m->close();
    });
    guard.start(3000);
    w.exec();
    QCOMPARE(shown, QStringList{QStringLiteral("表格第 5 行的 单位名称 为空，导入到此为止。\n此前的 3 条新单位已保存。")});
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(t.dm().value("select count(*) from SUnits").toInt(), 3);
}

QTEST_MAIN(tst_import)
#include "tst_import.moc"
