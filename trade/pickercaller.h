#pragma once
// What a screen that looks up products or partners offers to the lookup, the
// pickers (frmFindShop, frmFindUnits) and the quick entries (frmNewShop,
// frmNewUnits), so that they can write a choice straight into it.
//
// A screen implements one PickerCaller per line grid (the assembly screen has
// two: "cz" and "czrk") and, on the screens with a partner box, the partner
// side too. Which cells and boxes are written for each caller code is decided
// in one place, trade/lookup.h; the caller only reads and writes its controls.
//
// Grid rows are counted as in the line grid: row 0 is the caption row, lines
// are rows 1 to lastRow(); columns as the caller's grid has them (column 1 the
// product code, the hidden product ID at column 9, or 10 on sales deliveries).
#include <QString>

// The texts typed in the partner boxes, used as search filters. Vouchers have
// only the name box.
struct PartnerBoxes {
    QString name;     // Edit1
    QString contact;  // Edit7
    QString phone;    // Edit8
    QString address;  // Edit9
};

class PickerCaller {
public:
    virtual ~PickerCaller() = default;

    // "jh", "cgth", "xs", "xsth", "db", "bs", "by", "cz", "czrk", "fk" or "sk".
    virtual QString callerCode() const = 0;

    // ---- line grid (callers with a product lookup) ----
    // The row a product goes into: the row current when the lookup started.
    virtual int currentRow() const { return 1; }
    // "全选 &A" moves the current row down after each product.
    virtual void setCurrentRow(int row) { Q_UNUSED(row); }
    // The last line row of the grid.
    virtual int lastRow() const { return 99; }
    virtual QString cell(int row, int column) const { Q_UNUSED(row); Q_UNUSED(column); return QString(); }
    virtual void setCell(int row, int column, const QString &text) { Q_UNUSED(row); Q_UNUSED(column); Q_UNUSED(text); }
    // mySumMoney: recompute the line totals (callers without totals ignore it).
    virtual void recomputeTotals() {}

    // ---- partner (document screens and vouchers) ----
    virtual PartnerBoxes partnerBoxes() const { return {}; }
    // The chosen partner's ID (hidden Lab_Units), 0 when none is chosen yet.
    virtual int partnerId() const { return 0; }
    // Writes the name box (Edit1) and Lab_Units.
    virtual void setPartner(const QString &name, int id) { Q_UNUSED(name); Q_UNUSED(id); }
    // Writes the contact, phone and address boxes (Edit7, Edit8, Edit9).
    virtual void setPartnerContact(const QString &contact, const QString &phone, const QString &address)
    {
        Q_UNUSED(contact); Q_UNUSED(phone); Q_UNUSED(address);
    }
    // Where the cursor goes after a partner is taken: the line grid on document
    // screens, the amount box Edit2 on vouchers.
    virtual void focusGrid() {}
    virtual void focusAmount() {}
};
