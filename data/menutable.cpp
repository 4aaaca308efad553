#include "menutable.h"

QString MenuEntry::rightsName() const
{
    if (isSeparator()) return QStringLiteral("-");
    const int blank = caption.indexOf(QLatin1Char(' '));
    return blank < 0 ? caption : caption.left(blank + 1);
}

namespace {
MenuEntry sep() { return MenuEntry{QString(), QStringLiteral("-"), QString(), false}; }
MenuEntry modal(const char *caption, const char *screen) { return MenuEntry{QString(), QString::fromUtf8(caption), QString::fromUtf8(screen), false}; }
MenuEntry child(const char *caption, const char *screen) { return MenuEntry{QString(), QString::fromUtf8(caption), QString::fromUtf8(screen), true}; }

QVector<MenuTop> build()
{
    QVector<MenuTop> t = {
        {QStringLiteral("文件【&F】"), {
            modal("本店信息 &D", "frmDept"), modal("仓库设置 &S", "frmWare"), modal("收付款方式设置 &M", "frmAccount"), sep(),
            modal("用户管理 &U", "frmUser"), modal("经手人管理 &J", "frmStaff"), sep(),
            modal("修改密码 &C", "frmCPass"), sep(),
            modal("数据备份 &B", "frmBackup"), modal("数据恢复 &R", "frmRecover"), sep(),
            modal("更换背景 &I", "frmBImage"), sep(),
            modal("退出 &X", "exit"), child("操作日志 &L", "frmOpLog")}},
        {QStringLiteral("采购【&C】"), {
            modal("采购入库单 &A", "frmJH_In"), child("采购入库管理 &B", "frmJH_M"), child("采购入库明细查询 &C", "frmJH_MX"),
            child("采购入库付款查询 &D", "frmJH_FKQ"), sep(),
            modal("采购退货单 &E", "frmCG_O_In"), child("采购退货管理 &F", "frmCG_O_M"), child("采购退货明细查询 &G", "frmCG_O_MX"),
            child("采购退货收款查询 &H", "frmCG_O_SKQ")}},
        {QStringLiteral("销售【&X】"), {
            modal("销售出库单 &A", "frmXS_In"), child("销售出库管理 &B", "frmXS_M"), child("销售出库明细查询 &C", "frmXS_MX"),
            child("销售出库收款查询 &D", "frmXS_SKQ"), sep(),
            modal("销售退货单 &E", "frmXS_O_In"), child("销售退货管理 &F", "frmXS_O_M"), child("销售退货明细查询 &G", "frmXS_O_MX"),
            child("销售退货付款查询 &H ", "frmXS_O_FKQ")}},
        {QStringLiteral("商品【&S】"), {
            modal("商品分类 &A", "frmSType"), sep(),
            modal("商品录入 &B", "frmShop_In"), modal("商品导入 &C", "frmShop_D"), child("商品管理 &D", "frmShop_M"), sep(),
            modal("商品调拨单 &E", "frmDB_In"), child("商品调拨管理 &F", "frmDB_M"), child("商品调拨明细 &G", "frmDB_MX"), sep(),
            modal("商品报损单 &H", "frmBS_In"), child("商品报损管理 &I", "frmBS_M"), child("商品报损明细 &J", "frmBS_MX"), sep(),
            modal("商品报溢单 &K", "frmBY_In"), child("商品报溢管理 &L", "frmBY_M"), child("商品报溢明细 &M", "frmBY_MX"), sep(),
            modal("商品拆装单 &N", "frmCZ_In"), child("商品拆装管理 &O", "frmCZ_M")}},
        {QStringLiteral("往来单位【&W】"), {
            modal("往来单位录入 &A", "frmUnits_In"), modal("往来单位导入 &B", "frmUnits_D"), child("往来单位管理 &C", "frmUnits_M"), sep(),
            child("应收查询 &D", "frmUnits_YS"), child("应付查询 &E", "frmUnits_YF"), sep(),
            modal("付款单录入 &F", "frmFK_In"), child("付款单管理 &G", "frmFK_M1"), sep(),
            modal("收款单录入 &H", "frmSK_In"), child("收款单管理 &I", "frmSK_M1")}},
        {QStringLiteral("报表中心【&R】"), {
            child("商品库存查询 &A", "frmKC"), child("资金流动日志 &B", "frmList"), sep(),
            child("日报表 &C", "frmBB_D"), child("月报表 &D", "frmBB_M"), child("年报表 &E", "frmBB_Y"), sep(),
            child("采购入库统计 &F", "frmBB_CG"), child("采购退货统计 &G", "frmBB_CT"), sep(),
            child("销售出库统计 &H", "frmBB_XS"), child("销售退货统计 &I", "frmBB_XT")}},
        {QStringLiteral("帮助【&H】"), {
            modal("帮助 &H", "help"), sep(), modal("Tavrel网站 &W", "web"), sep(), modal("关于... &A", "frmAbout")}},
    };
    for (int top = 0; top < 6; ++top)
        for (int i = 0; i < t[top].items.size(); ++i)
            t[top].items[i].code = QString::number(top) + QString::number(i).rightJustified(2, QLatin1Char('0'));
    return t;
}
}

const QVector<MenuTop> &menuTree()
{
    static const QVector<MenuTop> tree = build();
    return tree;
}

QVector<MenuEntry> codedMenuItems()
{
    QVector<MenuEntry> out;
    const auto &t = menuTree();
    for (int top = 0; top < 6; ++top) out += t[top].items;
    return out;
}

const MenuEntry *menuEntryByCode(const QString &code)
{
    for (const auto &top : menuTree())
        for (const auto &e : top.items)
            if (!e.code.isEmpty() && e.code == code) return &e;
    return nullptr;
}
