#pragma once
// The product and partner lookup of the entry screens: the search each caller
// code runs, and how a chosen product or partner is written into the caller.
// One table (callerRule) holds what differs between the caller codes.
#include "data/money.h"
#include "pickercaller.h"

#include <QList>
#include <QString>
#include <QVector>

class frmDM;

// Where the unit price of a taken product comes from.
enum class PriceSource {
    SuggestPurchase, // myRetJHPrice(product, partner)
    SuggestSales,    // myRetXSPrice(product, partner)
    ListPurchase,    // the product's purchase price
    ListSales,       // the product's sales price
};

struct CallerRule {
    QString code;
    bool products = false;      // has a product lookup
    bool partners = false;      // has a partner lookup
    PriceSource price = PriceSource::ListPurchase;
    bool salesLine = false;     // sales delivery grid: 6 discount, 7 quantity, 8 amount, 10 ID
    bool totals = false;        // runs the caller's mySumMoney after a product is written
    bool partnerContact = false; // a taken partner also fills contact, phone and address
    bool partnerToAmount = false; // after a partner the cursor goes to the amount box, not the grid
    bool contactFilters = false; // the partner search also filters by contact, phone and address
    QString excludedPartnerType; // partners of this type are never offered

    int quantityColumn() const { return salesLine ? 7 : 6; }
    int amountColumn() const { return salesLine ? 8 : 7; }
    int idColumn() const { return salesLine ? 10 : 9; }
    // Caption of the price column of the product picker: "采购单价" or "销售单价".
    QString priceCaption() const;
};

// The rule of a caller code, or nullptr for an unknown code.
const CallerRule *callerRule(const QString &code);
// All caller codes in table order.
QStringList callerCodes();

// A product as the picker lists it.
struct ProductHit {
    QString num, type, name, stand, unit;
    Money price;     // the picker's price column: purchase or sales price by caller
    QString remark;
    int id = 0;
    int zk = 100;    // the product's discount percent
};

// A partner as the picker lists it.
struct PartnerHit {
    QString name, contact, phone, address, remark;
    int id = 0;
};

// ---- products ----

// Whether a line row already holds a product (its hidden ID cell is filled).
bool rowHasProduct(const PickerCaller &caller, int row);
// The product IDs already on the caller's grid.
QList<int> productsOnGrid(const PickerCaller &caller);
// Enabled live products whose name, input code or code contains `text`, less
// the excluded IDs; ordered by category, name, unit. Throws DbError.
QVector<ProductHit> findProducts(frmDM &dm, const QString &code, const QString &text, const QList<int> &excluded);
// One product as findProducts would list it (for a product just entered).
ProductHit productHit(frmDM &dm, const QString &code, int id);
// Writes the product into the caller's current row, then recomputes its totals
// when the caller has them.
void putProduct(frmDM &dm, PickerCaller &caller, const ProductHit &p);
// "全选 &A": each product into the current row, moving the row down after each.
// Stops at the grid's last row; returns how many were written.
int putAllProducts(frmDM &dm, PickerCaller &caller, const QVector<ProductHit> &list);

// ---- partners ----

// Enabled live partners not of the caller's excluded type, whose name or input
// code contains the name box text (and, on the document screens, whose contact,
// phone and address contain those boxes' texts); ordered by type, name.
QVector<PartnerHit> findPartners(frmDM &dm, const QString &code, const PartnerBoxes &boxes);
// One partner as findPartners would list it.
PartnerHit partnerHit(frmDM &dm, int id);
// Writes the partner into the caller and moves its cursor on.
void putPartner(PickerCaller &caller, const PartnerHit &p);
