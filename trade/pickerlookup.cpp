#include "pickerlookup.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "frmfindshop.h"
#include "frmfindunits.h"
#include "lookup.h"
#include "master/frmnewshop.h"
#include "master/frmnewunits.h"
#include "ui/msg.h"

LookupResult lookupProduct(QWidget *parent, PickerCaller &caller)
{
    const int row = caller.currentRow();
    if (rowHasProduct(caller, row)) return LookupResult::Nothing;
    QVector<ProductHit> hits;
    try {
        hits = findProducts(DM(), caller.callerCode(), caller.cell(row, 1), productsOnGrid(caller));
        if (hits.size() == 1) {
            putProduct(DM(), caller, hits.first());
            return LookupResult::Taken;
        }
    } catch (const DbError &e) {
        Msg::error(parent, e.text());
        return LookupResult::Nothing;
    }
    if (hits.isEmpty()) {
        frmNewShop dlg(parent);
        dlg.setCaller(&caller);
        dlg.exec();
        return LookupResult::QuickEntry;
    }
    frmFindShop dlg(parent);
    dlg.setCaller(&caller);
    dlg.setList(hits);
    dlg.exec();
    return LookupResult::Picker;
}

LookupResult lookupPartner(QWidget *parent, PickerCaller &caller)
{
    QVector<PartnerHit> hits;
    try {
        hits = findPartners(DM(), caller.callerCode(), caller.partnerBoxes());
    } catch (const DbError &e) {
        Msg::error(parent, e.text());
        return LookupResult::Nothing;
    }
    if (hits.size() == 1) {
        putPartner(caller, hits.first());
        return LookupResult::Taken;
    }
    if (hits.isEmpty()) {
        frmNewUnits dlg(parent);
        dlg.setCaller(&caller);
        dlg.exec();
        return LookupResult::QuickEntry;
    }
    frmFindUnits dlg(parent);
    dlg.setCaller(&caller);
    dlg.setList(hits);
    dlg.exec();
    return LookupResult::Picker;
}
