// Every screen the menu and toolbar can open, by name. A screen not listed here
// yet leaves its menu item present but opening nothing.
#include "screens.h"

#include "about.h"
#include "changepassword.h"
#include "frmbackup.h"
#include "frmbimage.h"
#include "frmdept.h"
#include "frmoplog.h"
#include "users.h"
#include "master/frmdictionary.h"
#include "master/frmimport.h"
#include "master/frmshop_in.h"
#include "master/frmshop_m.h"
#include "master/frmunits_in.h"
#include "master/frmunits_m.h"
#include "money/balancelist.h"
#include "money/frmlist.h"
#include "money/periodreportscreen.h"
#include "money/settlequery.h"
#include "stock/frmkc.h"
#include "stock/frmstock_in.h"
#include "stock/frmstock_m.h"
#include "stock/frmstock_mx.h"
#include "money/statisticsscreen.h"
#include "money/voucherentry.h"
#include "money/voucherlist.h"
#include "trade/frmcg_o_in.h"
#include "trade/frmjh_in.h"
#include "trade/frmtrade_m.h"
#include "trade/frmtrade_mx.h"
#include "trade/frmxs_in.h"
#include "trade/frmxs_o_in.h"

namespace Screens {

void registerAll()
{
    static bool done = false;
    if (done) return;
    done = true;

    add(QStringLiteral("frmUser"), [](QWidget *parent) { return new frmUser(parent); });
    add(QStringLiteral("frmCPass"), [](QWidget *parent) { return new frmCPass(parent); });
    add(QStringLiteral("frmAbout"), [](QWidget *parent) { return new frmAbout(parent); });
    add(QStringLiteral("frmDept"), [](QWidget *parent) { return new frmDept(parent); });
    add(QStringLiteral("frmBImage"), [](QWidget *parent) { return new frmBImage(parent); });
    add(QStringLiteral("frmBackup"), [](QWidget *parent) { return new frmBackup(parent); });
    add(QStringLiteral("frmRecover"), [](QWidget *parent) { return new frmRecover(parent); });
    add(QStringLiteral("frmOpLog"), [](QWidget *parent) { return new frmOpLog(parent); });
    add(QStringLiteral("frmShop_D"), [](QWidget *parent) { return new frmShop_D(parent); });
    add(QStringLiteral("frmUnits_D"), [](QWidget *parent) { return new frmUnits_D(parent); });
    add(QStringLiteral("frmWare"), [](QWidget *parent) { return new frmWare(parent); });
    add(QStringLiteral("frmAccount"), [](QWidget *parent) { return new frmAccount(parent); });
    add(QStringLiteral("frmStaff"), [](QWidget *parent) { return new frmStaff(parent); });
    add(QStringLiteral("frmSType"), [](QWidget *parent) { return new frmSType(parent); });
    add(QStringLiteral("frmShop_In"), [](QWidget *parent) { return new frmShop_In(parent); });
    add(QStringLiteral("frmUnits_In"), [](QWidget *parent) { return new frmUnits_In(parent); });
    add(QStringLiteral("frmShop_M"), [](QWidget *parent) { return new frmShop_M(parent); });
    add(QStringLiteral("frmUnits_M"), [](QWidget *parent) { return new frmUnits_M(parent); });
    add(QStringLiteral("frmJH_In"), [](QWidget *parent) { return new frmJH_In(parent); });
    add(QStringLiteral("frmXS_In"), [](QWidget *parent) { return new frmXS_In(parent); });
    add(QStringLiteral("frmCG_O_In"), [](QWidget *parent) { return new frmCG_O_In(parent); });
    add(QStringLiteral("frmXS_O_In"), [](QWidget *parent) { return new frmXS_O_In(parent); });
    add(QStringLiteral("frmDB_In"), [](QWidget *parent) { return new frmDB_In(parent); });
    add(QStringLiteral("frmBS_In"), [](QWidget *parent) { return new frmBS_In(parent); });
    add(QStringLiteral("frmBY_In"), [](QWidget *parent) { return new frmBY_In(parent); });
    add(QStringLiteral("frmCZ_In"), [](QWidget *parent) { return new frmCZ_In(parent); });
    add(QStringLiteral("frmDB_M"), [](QWidget *parent) { return new frmDB_M(parent); });
    add(QStringLiteral("frmBS_M"), [](QWidget *parent) { return new frmBS_M(parent); });
    add(QStringLiteral("frmBY_M"), [](QWidget *parent) { return new frmBY_M(parent); });
    add(QStringLiteral("frmCZ_M"), [](QWidget *parent) { return new frmCZ_M(parent); });
    add(QStringLiteral("frmDB_MX"), [](QWidget *parent) { return new frmDB_MX(parent); });
    add(QStringLiteral("frmBS_MX"), [](QWidget *parent) { return new frmBS_MX(parent); });
    add(QStringLiteral("frmBY_MX"), [](QWidget *parent) { return new frmBY_MX(parent); });
    add(QStringLiteral("frmKC"), [](QWidget *parent) { return new frmKC(parent); });

    add(QStringLiteral("frmJH_M"), [](QWidget *parent) { return new frmJH_M(parent); });
    add(QStringLiteral("frmXS_M"), [](QWidget *parent) { return new frmXS_M(parent); });
    add(QStringLiteral("frmCG_O_M"), [](QWidget *parent) { return new frmCG_O_M(parent); });
    add(QStringLiteral("frmXS_O_M"), [](QWidget *parent) { return new frmXS_O_M(parent); });
    add(QStringLiteral("frmJH_MX"), [](QWidget *parent) { return new frmJH_MX(parent); });
    add(QStringLiteral("frmXS_MX"), [](QWidget *parent) { return new frmXS_MX(parent); });
    add(QStringLiteral("frmCG_O_MX"), [](QWidget *parent) { return new frmCG_O_MX(parent); });
    add(QStringLiteral("frmXS_O_MX"), [](QWidget *parent) { return new frmXS_O_MX(parent); });
    add(QStringLiteral("frmJH_FKQ"), [](QWidget *parent) { return new frmJH_FKQ(parent); });
    add(QStringLiteral("frmCG_O_SKQ"), [](QWidget *parent) { return new frmCG_O_SKQ(parent); });
    add(QStringLiteral("frmXS_SKQ"), [](QWidget *parent) { return new frmXS_SKQ(parent); });
    add(QStringLiteral("frmXS_O_FKQ"), [](QWidget *parent) { return new frmXS_O_FKQ(parent); });

    add(QStringLiteral("frmFK_In"), [](QWidget *parent) { return new frmFK_In(parent); });
    add(QStringLiteral("frmSK_In"), [](QWidget *parent) { return new frmSK_In(parent); });
    add(QStringLiteral("frmFK_M1"), [](QWidget *parent) { return new frmFK_M1(parent); });
    add(QStringLiteral("frmSK_M1"), [](QWidget *parent) { return new frmSK_M1(parent); });
    add(QStringLiteral("frmUnits_YF"), [](QWidget *parent) { return new frmUnits_YF(parent); });
    add(QStringLiteral("frmUnits_YS"), [](QWidget *parent) { return new frmUnits_YS(parent); });
    add(QStringLiteral("frmList"), [](QWidget *parent) { return new frmList(parent); });
    add(QStringLiteral("frmBB_D"), [](QWidget *parent) { return new frmBB_D(parent); });
    add(QStringLiteral("frmBB_M"), [](QWidget *parent) { return new frmBB_M(parent); });
    add(QStringLiteral("frmBB_Y"), [](QWidget *parent) { return new frmBB_Y(parent); });
    add(QStringLiteral("frmBB_CG"), [](QWidget *parent) { return new frmBB_CG(parent); });
    add(QStringLiteral("frmBB_CT"), [](QWidget *parent) { return new frmBB_CT(parent); });
    add(QStringLiteral("frmBB_XS"), [](QWidget *parent) { return new frmBB_XS(parent); });
    add(QStringLiteral("frmBB_XT"), [](QWidget *parent) { return new frmBB_XT(parent); });
}

} // namespace Screens
