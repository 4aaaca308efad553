// The product and partner lists: what they show, their filters, the hidden
// purchase price, the pop-up commands with their guards, and the export.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "master/frmshop_in.h"
#include "master/frmshop_m.h"
#include "master/frmunits_in.h"
#include "master/frmunits_m.h"
#include "master/partnerfields.h"
#include "master/productfields.h"
#include "master/products.h"
#include "ui/filterrow.h"
#include "ui/resultmodel.h"
#include "screenkeys.h"
#include "ui/sortheader.h"
#include "shell/screens.h"
#include "shellspy.h"
#include "testcaller.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int product(frmDM &dm, const QString &num, const QString &name, const QString &type)
{
    ProductInput in;
    in.num = num;
    in.name = name;
    in.type = type;
    in.unit = QStringLiteral("瓶");
    in.jh = QStringLiteral("2.5");
    in.xs = QStringLiteral("3.5");
    in.kcMin = QStringLiteral("1");
    in.kcMax = QStringLiteral("9");
    return saveProduct(dm, 0, in).id;
}

QStringList column(const ListScreen &s, const char *field)
{
    QStringList out;
    for (int r = 0; r < s.rowCount(); ++r) out << s.valueAt(r, QLatin1String(field)).toString();
    return out;
}

// Makes the row whose field has this value the current one.
void select(ListScreen &s, const char *field, const QString &value)
{
    for (int r = 0; r < s.rowCount(); ++r)
        if (s.valueAt(r, QLatin1String(field)).toString() == value) {
            s.grid()->setCurrentIndex(s.grid()->model()->index(r, 0));
            return;
        }
    QFAIL("row not listed");
}

FilterRow *filter(const ListScreen &s, const QString &caption)
{
    for (FilterRow *f : s.filters())
        if (f->box()->text() == caption) return f;
    return nullptr;
}

} // namespace

class TstMasterLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { ExportOpen::setOpener(nullptr); }

    void productListQuery();
    void productFilters();
    void choiceFilterKeepsItsChoice();
    void productLimitColumns();
    void hidePurchasePrice();
    void productCommands();
    void productDeleteGuard();
    void productDialogsRefresh();
    void productExport();
    void partnerListQuery();
    void partnerCommands();
    void partnerExport();
    void registered();
    void filterRowsTabInLayoutOrder();

private:
    QTemporaryDir m_dir;
};

void TstMasterLists::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
    G.ShopName = QStringLiteral("测试商店");
}

void TstMasterLists::init()
{
    setSession();
    G.ShopTX = QStringLiteral("False");
}

void TstMasterLists::productListQuery()
{
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',100),('食品','','启用',100)"));
    product(t.dm(), "P1", "雪碧", "饮料");
    product(t.dm(), "P2", "可乐", "饮料");
    product(t.dm(), "P3", "饼干", "食品");
    const int gone = product(t.dm(), "P4", "旧货", "饮料");
    deleteProduct(t.dm(), gone);

    frmShop_M s;
    QCOMPARE(s.windowTitle(), QStringLiteral("商品管理"));
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!s.excelButton()->isEnabled());
    QCOMPARE(s.grid()->contextMenuPolicy(), Qt::NoContextMenu);
    s.BitBtn1Click();
    // Live products by category, name, unit.
    QCOMPARE(column(s, "theName"), (QStringList{"饼干", "可乐", "雪碧"}));
    QCOMPARE(s.countLabel()->text(), QStringLiteral("商品数量：3"));
    QVERIFY(s.excelButton()->isEnabled());
    QCOMPARE(s.grid()->contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(s.grid()->isColumnHidden(s.resultModel()->columnOf("ID")));
    QVERIFY(s.grid()->isColumnHidden(s.resultModel()->columnOf("thePY")));
}

void TstMasterLists::productFilters()
{
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',100),('食品','','启用',100)"));
    product(t.dm(), "A-1", "可口可乐", "饮料");
    product(t.dm(), "B-1", "可可饼", "食品");
    product(t.dm(), "A-2", "雪碧", "饮料");
    frmShop_M s;

    // The name filter looks at the input code too, in either case.
    FilterRow *name = filter(s, QStringLiteral("商品名称"));
    QVERIFY(name);
    QTest::keyClicks(name->lineEdit(), QStringLiteral("kk"));
    QVERIFY(name->isTicked());
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), (QStringList{"可可饼", "可口可乐"}));

    FilterRow *type = filter(s, QStringLiteral("商品分类"));
    type->comboBox()->setCurrentText(QStringLiteral("饮料"));
    type->tick();
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), QStringList{"可口可乐"});

    name->box()->setChecked(false);
    FilterRow *code = filter(s, QStringLiteral("商品编码"));
    code->lineEdit()->setText(QStringLiteral("-2"));
    code->tick();
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), QStringList{"雪碧"});
}

// The category list is shared with every other category pick list; when one of
// them re-reads it (a product opened for change), the filter keeps the category chosen.
void TstMasterLists::choiceFilterKeepsItsChoice()
{
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',100),('食品','','启用',100)"));
    product(t.dm(), "A-1", "可口可乐", "饮料");
    const int cake = product(t.dm(), "B-1", "可可饼", "食品");
    frmShop_M s;
    FilterRow *type = filter(s, QStringLiteral("商品分类"));
    QVERIFY(type);
    type->comboBox()->setCurrentText(QStringLiteral("食品"));
    type->tick();
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), QStringList{"可可饼"});

    {
        frmShop_In change;
        change.setProductID(cake);
    }
    QCOMPARE(type->comboBox()->currentText(), QStringLiteral("食品"));
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), QStringList{"可可饼"});

    // A list without a choice stays without one.
    frmUnits_M units;
    FilterRow *utype = filter(units, QStringLiteral("单位类型"));
    QVERIFY(utype);
    QCOMPARE(utype->comboBox()->currentIndex(), -1);
    {
        frmUnits_In entry;
    }
    QCOMPARE(utype->comboBox()->currentIndex(), -1);
}

void TstMasterLists::productLimitColumns()
{
    TestDb t;
    product(t.dm(), "P1", "可乐", QString());
    {
        frmShop_M s;
        s.BitBtn1Click();
        QCOMPARE(s.resultModel()->columnOf("theKCMin"), -1);
    }
    G.ShopTX = QStringLiteral("True");
    frmShop_M s;
    s.BitBtn1Click();
    QCOMPARE(s.valueAt(0, "theKCMin").toString() + "/" + s.valueAt(0, "theKCMax").toString(), QStringLiteral("1/9"));
    QCOMPARE(s.resultModel()->headerData(s.resultModel()->columnOf("theKCMax"), Qt::Horizontal).toString(),
             QStringLiteral("最高库存"));
}

void TstMasterLists::hidePurchasePrice()
{
    TestDb t;
    product(t.dm(), "P1", "可乐", QString());
    frmShop_M s;
    QCOMPARE(s.hidePurchasePrice()->text(), QStringLiteral("隐藏采购单价 （Alt 加 A 健）&A"));
    s.BitBtn1Click();
    const int jh = s.resultModel()->columnOf("theJH");
    QVERIFY(!s.grid()->isColumnHidden(jh));
    // Ticking the box re-runs the query: a product added meanwhile shows up.
    product(t.dm(), "P2", "雪碧", QString());
    s.hidePurchasePrice()->setChecked(true);
    QVERIFY(s.grid()->isColumnHidden(jh));
    QCOMPARE(s.rowCount(), 2);
    s.hidePurchasePrice()->setChecked(false);
    QVERIFY(!s.grid()->isColumnHidden(jh));
}

void TstMasterLists::productCommands()
{
    TestDb t;
    MsgSpy spy;
    frmShop_M s;
    // Nothing listed: every command does nothing.
    for (const char *name : {"Q1", "T1", "V1", "P1", "Z1", "M1", "K1", "B1", "L1", "D1"}) {
        QAction *a = s.findChild<QAction *>(QLatin1String(name));
        QVERIFY2(a, name);
        a->trigger();
    }
    QCOMPARE(spy.shown.size(), 0);
    QVERIFY(!QApplication::activeModalWidget());

    const int id = product(t.dm(), "P1", "可乐", QString());
    product(t.dm(), "P2", "雪碧", QString());
    s.BitBtn1Click();
    select(s, "ID", QString::number(id));
    s.T1Click();
    // Disabled products stay listed, with their state.
    QCOMPARE(column(s, "theState"), (QStringList{"停用", "启用"}));
    QCOMPARE(t.dm().value(QStringLiteral("select theState from SShop where ID=?"), {id}).toString(), QStringLiteral("停用"));
    select(s, "ID", QString::number(id));
    s.Q1Click();
    QCOMPARE(column(s, "theState"), (QStringList{"启用", "启用"}));

    QMenu *menu = s.popupMenu();
    QStringList texts;
    for (QAction *a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    QCOMPARE(texts, (QStringList{"启用 &Q", "停用 &T", "查看 &V", "拼音码修改 &P", "修改销售折扣 &Z", "图片管理 &P",
                                 "查看图片 &K", "图片列表 &B", "查看流动记录 &L", "删除 &D", "按此列排序 &O",
                                 "恢复默认列宽 &W"}));
    // The ledger item opens the product's movements in every warehouse.
    t.dm().KC_Up(QStringLiteral("一号库"), id, Money::fromString(QStringLiteral("3")));
    t.dm().SaveSList(QStringLiteral("采购入库"), QStringLiteral("CG1"), QStringLiteral("一号库"), id,
                     Money::fromString(QStringLiteral("3")), Money(), Money());
    t.dm().SaveSList(QStringLiteral("商品导入"), QString(), QStringLiteral("二号库"), id,
                     Money::fromString(QStringLiteral("1")), Money(), Money());
    select(s, "ID", QString::number(id));
    ModalScript modal;
    QString seen;
    QStringList shown;
    modal.next(&seen, [&](QDialog *d) {
        auto *grid = d->findChild<QTableView *>(QStringLiteral("DBGrid1"));
        for (int r = 0; r < grid->model()->rowCount(); ++r) shown << grid->model()->index(r, 2).data().toString();
        shown << d->findChild<QLineEdit *>(QStringLiteral("Edit3"))->text();
        d->reject();
    });
    s.findChild<QAction *>(QStringLiteral("L1"))->trigger();
    QCOMPARE(seen, QStringLiteral("frmSList"));
    QCOMPARE(shown, (QStringList{"一号库", "二号库", "可乐"}));
}

void TstMasterLists::productDeleteGuard()
{
    TestDb t;
    MsgSpy spy;
    t.addWarehouse(QStringLiteral("一号库"));
    const int moved = product(t.dm(), "P1", "可乐", QString());
    const int fresh = product(t.dm(), "P2", "雪碧", QString());
    t.dm().KC_Up(QStringLiteral("一号库"), moved, Money::fromString("1"));
    t.dm().KC_Do(QStringLiteral("一号库"), moved, Money::fromString("1"));
    frmShop_M s;
    s.BitBtn1Click();

    select(s, "ID", QString::number(moved));
    s.D1Click();
    QCOMPARE(spy.shown.size(), 1);
    QCOMPARE(spy.lastText(), QStringLiteral("该商品有库存，不能删除！"));

    spy.clear();
    select(s, "ID", QString::number(fresh));
    s.D1Click(); // answered No
    QCOMPARE(spy.lastText(), QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(s.rowCount(), 2);

    spy.answer = true;
    select(s, "ID", QString::number(fresh));
    s.D1Click();
    QCOMPARE(column(s, "theName"), QStringList{"可乐"});
    QCOMPARE(t.dm().value(QStringLiteral("select theDel from SShop where ID=?"), {fresh}).toString(), QStringLiteral("是"));
}

void TstMasterLists::productDialogsRefresh()
{
    ModalScript modal;
    TestDb t;
    MsgSpy spy;
    const int id = product(t.dm(), "P1", "可乐", QString());
    frmShop_M s;
    s.show();
    s.BitBtn1Click();

    // "查看 &V" opens the entry screen on the product; its save refreshes the list.
    QString seen, lab, name;
    modal.next(&seen, [&](QDialog *d) {
        auto *in = qobject_cast<frmShop_In *>(d);
        if (!in) return d->reject();
        lab = in->findChild<QLabel *>(QStringLiteral("Lab_ID"))->text();
        name = in->fields()->name()->text();
        in->fields()->name()->setText(QStringLiteral("百事可乐"));
        in->BitBtn1Click();
    });
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    const QPoint at = s.grid()->visualRect(s.grid()->model()->index(0, 0)).center();
    // A double-click is a press and release followed by the double-click event.
    QTest::mouseClick(s.grid()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(s.grid()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(seen, QStringLiteral("frmShop_In"));
    QCOMPARE(lab, QString::number(id));
    QCOMPARE(name, QStringLiteral("可乐"));
    QCOMPARE(column(s, "theName"), QStringList{"百事可乐"});

    // "修改销售折扣 &Z" starts from the product's discount; the list shows the new one.
    QString shown;
    modal.next(&seen, [&](QDialog *d) {
        auto *e = d->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        if (!e) return d->reject();
        shown = e->text();
        e->setText(QStringLiteral("75"));
        d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    s.Z1Click();
    QCOMPARE(seen, QStringLiteral("frmSZK"));
    QCOMPARE(shown, QStringLiteral("100"));
    QCOMPARE(column(s, "theZK"), QStringList{"75"});

    // "拼音码修改 &P" the same way.
    modal.next(&seen, [&](QDialog *d) {
        auto *e = d->findChild<QLineEdit *>(QStringLiteral("Edit10"));
        if (!e) return d->reject();
        e->setText(QStringLiteral("BS"));
        d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    s.P1Click();
    QCOMPARE(seen, QStringLiteral("frmShop_PY"));
    QCOMPARE(column(s, "thePY"), QStringList{"BS"});
}

void TstMasterLists::productExport()
{
    TestDb t;
    G.ShopTX = QStringLiteral("True");
    product(t.dm(), "000123", "可乐", QString());
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    frmShop_M s;
    s.BitBtn1Click();
    s.hidePurchasePrice()->setChecked(true);
    s.BitBtn3Click();
    QVERIFY(!opened.isEmpty());
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QStringLiteral("测试商店商品表"));
    const QStringList header{"序号", "商品编码", "商品分类", "商品名称", "规格", "单位", "采购单价", "销售单价", "备注", "状态"};
    for (int i = 0; i < header.size(); ++i) QCOMPARE(x.text(QChar('A' + i) + QStringLiteral("2")), header[i]);
    QCOMPARE(x.text("K2"), QString());
    QCOMPARE(x.text("B3"), QStringLiteral("000123"));
    QCOMPARE(x.type("B3"), QStringLiteral("s"));
    QCOMPARE(x.value("G3").toDouble(), 2.5); // hidden on screen, exported all the same
    QVERIFY(x.footerCentre().contains(QStringLiteral("Tavrel进销存软件")));
}

void TstMasterLists::partnerListQuery()
{
    TestDb t;
    t.addPartner(QStringLiteral("乙商行"), QStringLiteral("供应商"));
    t.addPartner(QStringLiteral("甲超市"), QStringLiteral("客户"));
    t.addPartner(QStringLiteral("丙公司"), QStringLiteral("供应商"));
    const int gone = t.addPartner(QStringLiteral("丁删除"), QStringLiteral("客户"));
    t.dm().mySQL(QStringLiteral("update SUnits set theDel='是' where ID=?"), {gone});
    t.dm().mySQL(QStringLiteral("update SUnits set thePY='YSH', thePro='王' where theName='乙商行'"));

    frmUnits_M s;
    QCOMPARE(s.windowTitle(), QStringLiteral("往来单位管理"));
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), (QStringList{"丙公司", "乙商行", "甲超市"}));
    QCOMPARE(s.countLabel()->text(), QStringLiteral("往来单位数量：3"));
    for (const char *hidden : {"thePY", "ID", "theYS", "theYF"})
        QVERIFY(s.grid()->isColumnHidden(s.resultModel()->columnOf(QLatin1String(hidden))));

    FilterRow *type = filter(s, QStringLiteral("单位类型"));
    QVERIFY(type);
    type->comboBox()->setCurrentText(QStringLiteral("供应商"));
    type->tick();
    FilterRow *name = filter(s, QStringLiteral("单位名称"));
    name->lineEdit()->setText(QStringLiteral("ysh"));
    name->tick();
    s.BitBtn1Click();
    QCOMPARE(column(s, "theName"), QStringList{"乙商行"});
}

void TstMasterLists::partnerCommands()
{
    ModalScript modal;
    TestDb t;
    MsgSpy spy;
    const int a = t.addPartner(QStringLiteral("大华"), QStringLiteral("供应商"));
    t.dm().YS_Up(a, Money::fromString("50"));
    frmUnits_M s;
    s.D1Click(); // before the first query: nothing
    QCOMPARE(spy.shown.size(), 0);
    s.BitBtn1Click();

    s.T1Click();
    QCOMPARE(column(s, "theState"), QStringList{"停用"});
    s.Q1Click();
    QCOMPARE(column(s, "theState"), QStringList{"启用"});

    QString seen;
    bool ysEnabled = true;
    modal.next(&seen, [&](QDialog *d) {
        auto *in = qobject_cast<frmUnits_In *>(d);
        if (!in) return d->reject();
        ysEnabled = in->fields()->receivable()->isEnabled();
        in->fields()->contact()->setText(QStringLiteral("新联系人"));
        in->BitBtn1Click();
    });
    s.V1Click();
    QCOMPARE(seen, QStringLiteral("frmUnits_In"));
    QVERIFY(!ysEnabled);
    QCOMPARE(column(s, "thePro"), QStringList{"新联系人"});
    QCOMPARE(s.valueAt(0, "theYS").toString(), QStringLiteral("50"));

    // A partner that still owes money can be deleted after the question.
    spy.clear();
    spy.answer = true;
    s.D1Click();
    QCOMPARE(spy.shown.first().text, QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(s.rowCount(), 0);
    QCOMPARE(t.dm().value(QStringLiteral("select theDel||theYS from SUnits")).toString(), QStringLiteral("是50"));
}

void TstMasterLists::partnerExport()
{
    TestDb t;
    const int a = t.addPartner(QStringLiteral("乙商行"), QStringLiteral("供应商"));
    const int b = t.addPartner(QStringLiteral("甲超市"), QStringLiteral("客户"));
    const int c = t.addPartner(QStringLiteral("丙公司"), QStringLiteral("两者皆是"));
    const int gone = t.addPartner(QStringLiteral("丁删除"), QStringLiteral("客户"));
    auto set = [&t](int id, const char *contact, const char *phone, const char *address, const char *remark) {
        t.dm().mySQL(QStringLiteral("update SUnits set thePro=?, thePho=?, theAdd=?, Remark=? where ID=?"),
                     {QString::fromUtf8(contact), QString::fromUtf8(phone), QString::fromUtf8(address),
                      QString::fromUtf8(remark), id});
    };
    set(a, "王经理", "0571-88880000", "城东路1号", "月结");
    set(b, "李", "13800000001", "", "");
    set(c, "", "007", "西湖区\"二\"号", "A&B<C>");
    t.dm().mySQL(QStringLiteral("update SUnits set theDel='是' where ID=?"), {gone});
    t.dm().myState(QStringLiteral("SUnits"), QStringLiteral("停用"), b);
    t.dm().YF_Up(a, Money::fromString("12.5"));   // balances are not exported

    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    frmUnits_M s;
    s.BitBtn1Click();
    s.BitBtn3Click();
    QVERIFY(!opened.isEmpty());
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));

    // Title over A to H, the header row, widths and the page set-up.
    QCOMPARE(x.text("A1"), QStringLiteral("测试商店往来单位表"));
    QCOMPARE(x.merged(), QStringList{QStringLiteral("A1:H1")});
    QVERIFY(x.bold("A1"));
    QCOMPARE(x.fontSize("A1"), 16.0);
    const QStringList header{"序号", "单位类型", "单位名称", "联系人", "联系电话", "地址", "备注", "状态"};
    for (int i = 0; i < header.size(); ++i) {
        const QString ref = QChar('A' + i) + QStringLiteral("2");
        QCOMPARE(x.text(ref), header[i]);
        QVERIFY(x.bold(ref));
    }
    QCOMPARE(x.text("I2"), QString());
    const double widths[] = {4, 10, 30, 12, 20, 20, 14, 6};
    for (int i = 0; i < 8; ++i) QVERIFY2(qAbs(x.width(QString(QChar('A' + i))) - widths[i]) < 1, qPrintable(QString(QChar('A' + i))));
    QCOMPARE(x.orientation(), QStringLiteral("landscape"));
    QCOMPARE(x.footerCentre(), QStringLiteral("Tavrel进销存 共&N页，第&P页"));

    // The live partners in the list's order (type, name), texts as shown; the
    // disabled one with its state, the deleted one left out.
    const QStringList rows[] = {
        {"1", "两者皆是", "丙公司", "", "007", "西湖区\"二\"号", "A&B<C>", "启用"},
        {"2", "供应商", "乙商行", "王经理", "0571-88880000", "城东路1号", "月结", "启用"},
        {"3", "客户", "甲超市", "李", "13800000001", "", "", "停用"},
    };
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 8; ++i) {
            const QString ref = QChar('A' + i) + QString::number(r + 3);
            const QString got = x.type(ref) == QLatin1String("n") ? QString::number(x.value(ref).toLongLong())
                                                                   : x.text(ref);
            QCOMPARE(got, rows[r][i]);
        }
    QCOMPARE(x.type("E3"), QStringLiteral("s"));   // "007" keeps its zeros
    QCOMPARE(x.type("C3"), QStringLiteral("s"));

    // No totals row: the sheet and its borders end with the last partner.
    QCOMPARE(x.maxRow(), 5);
    QCOMPARE(x.border("H5"), QStringLiteral("thin"));
    QCOMPARE(x.fontSize("H5"), 9.0);
    QVERIFY(!x.has("A6") || x.text("A6").isEmpty());

    // Sorted by a title click, the sheet follows the grid.
    s.sortProxy()->clickTitle(s.resultModel()->columnOf(QStringLiteral("thePho")));
    s.sortProxy()->clickTitle(s.resultModel()->columnOf(QStringLiteral("thePho")));
    opened.clear();
    s.BitBtn3Click();
    XlsxRead sorted;
    QVERIFY2(sorted.load(opened), qPrintable(sorted.error()));
    QCOMPARE(sorted.text("C3"), QStringLiteral("甲超市"));
    QCOMPARE(sorted.text("C4"), QStringLiteral("乙商行"));
    QCOMPARE(sorted.text("C5"), QStringLiteral("丙公司"));
}

void TstMasterLists::registered()
{
    TestDb t;
    Screens::registerAll();
    for (const char *name : {"frmShop_M", "frmUnits_M"}) {
        std::unique_ptr<QWidget> w(Screens::create(QLatin1String(name), nullptr));
        QVERIFY2(qobject_cast<ListScreen *>(w.get()), name);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QLatin1String(name));
    }
}

void TstMasterLists::filterRowsTabInLayoutOrder()
{
    // The list opens in its first filter; Tab goes along the filter lines,
    // then "查询", "退出", "Excel", through the list (rows in it or not) and
    // back to the first line.
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',100)"));
    product(t.dm(), "P1", "雪碧", "饮料");
    product(t.dm(), "P2", "可乐", "饮料");
    t.addPartner(QStringLiteral("大华商行"));
    {
        frmShop_M s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("ComboBox1"));
        s.BitBtn1Click();
        QCOMPARE(s.rowCount(), 2);
        QCOMPARE(Keys::tabWalk(),
                 (QStringList{"ComboBox1", "CheckBox2", "Edit1", "CheckBox3", "Edit2", "CheckBox4", "Edit3", "CheckBox5",
                              "Edit4", "CheckBox6", "Edit5", "CheckBox7", "BitBtn1", "BitBtn2", "BitBtn3", "DBGrid1",
                              "CheckBox1", "ComboBox1"}));
    }
    {
        frmUnits_M s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
        // Typing in the first filter ticks its box.
        Keys::type(QStringLiteral("大华"));
        QVERIFY(s.filters().first()->isTicked());
        QCOMPARE(Keys::tabWalk(),
                 (QStringList{"Edit1", "CheckBox2", "Edit2", "CheckBox3", "Edit3", "CheckBox4", "Edit4", "CheckBox5",
                              "Edit5", "CheckBox6", "ComboBox1", "BitBtn1", "BitBtn2", "DBGrid1", "CheckBox1", "Edit1"}));
    }
}

QTEST_MAIN(TstMasterLists)
#include "tst_masterlists.moc"
