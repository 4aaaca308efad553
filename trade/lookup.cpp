#include "lookup.h"

#include "data/dm.h"
#include "data/words.h"

namespace {

QVector<CallerRule> build()
{
    const QString customer = QString::fromUtf8(Words::UTypeCustomer);
    const QString supplier = QString::fromUtf8(Words::UTypeSupplier);
    auto rule = [](const char *code) { CallerRule s; s.code = QString::fromLatin1(code); return s; };
    QVector<CallerRule> t;

    CallerRule jh = rule("jh");
    jh.products = jh.partners = true;
    jh.price = PriceSource::SuggestPurchase;
    jh.totals = jh.partnerContact = jh.contactFilters = true;
    jh.excludedPartnerType = customer;
    t << jh;

    CallerRule cgth = rule("cgth");
    cgth.products = cgth.partners = true;
    cgth.price = PriceSource::ListPurchase;
    cgth.totals = cgth.contactFilters = true;
    cgth.excludedPartnerType = customer;
    t << cgth;

    CallerRule xs = rule("xs");
    xs.products = xs.partners = true;
    xs.price = PriceSource::SuggestSales;
    xs.salesLine = true;
    xs.totals = xs.partnerContact = xs.contactFilters = true;
    xs.excludedPartnerType = supplier;
    t << xs;

    CallerRule xsth = rule("xsth");
    xsth.products = xsth.partners = true;
    xsth.price = PriceSource::ListSales;
    xsth.totals = xsth.contactFilters = true;
    xsth.excludedPartnerType = supplier;
    t << xsth;

    // Stock documents: purchase price, quantity 1. Transfers, losses and
    // overages keep totals; the two assembly grids have none.
    for (const char *c : {"db", "bs", "by", "cz", "czrk"}) {
        CallerRule s = rule(c);
        s.products = true;
        s.price = PriceSource::ListPurchase;
        s.totals = qstrcmp(c, "cz") != 0 && qstrcmp(c, "czrk") != 0;
        t << s;
    }

    CallerRule fk = rule("fk");
    fk.partners = true;
    fk.partnerToAmount = true;
    fk.excludedPartnerType = customer;
    t << fk;

    CallerRule sk = rule("sk");
    sk.partners = true;
    sk.partnerToAmount = true;
    sk.excludedPartnerType = supplier;
    t << sk;
    return t;
}

const QVector<CallerRule> &table()
{
    static const QVector<CallerRule> t = build();
    return t;
}

QString pattern(const QString &text) { return QStringLiteral("%") + text + QStringLiteral("%"); }

bool salesPrice(const CallerRule &s)
{
    return s.price == PriceSource::SuggestSales || s.price == PriceSource::ListSales;
}

QString productColumns(const CallerRule &s)
{
    return QStringLiteral("theNum,theType,theName,theStand,theUnit,%1,Remark,ID,theZK")
        .arg(salesPrice(s) ? QStringLiteral("theXS") : QStringLiteral("theJH"));
}

ProductHit toProduct(const QVariantList &v)
{
    ProductHit p;
    p.num = v[0].toString();
    p.type = v[1].toString();
    p.name = v[2].toString();
    p.stand = v[3].toString();
    p.unit = v[4].toString();
    p.price = Money::fromVariant(v[5]);
    p.remark = v[6].toString();
    p.id = v[7].toInt();
    p.zk = v[8].isNull() ? 100 : v[8].toInt();
    return p;
}

PartnerHit toPartner(const QVariantList &v)
{
    return PartnerHit{v[0].toString(), v[1].toString(), v[2].toString(), v[3].toString(), v[4].toString(), v[5].toInt()};
}

const CallerRule &ruleOf(const QString &code)
{
    static const CallerRule none;
    const CallerRule *s = callerRule(code);
    return s ? *s : none;
}

} // namespace

QString CallerRule::priceCaption() const
{
    return salesPrice(*this) ? QStringLiteral("销售单价") : QStringLiteral("采购单价");
}

const CallerRule *callerRule(const QString &code)
{
    for (const CallerRule &s : table())
        if (s.code == code) return &s;
    return nullptr;
}

QStringList callerCodes()
{
    QStringList out;
    for (const CallerRule &s : table()) out << s.code;
    return out;
}

// ---- products ----

bool rowHasProduct(const PickerCaller &caller, int row)
{
    return !caller.cell(row, ruleOf(caller.callerCode()).idColumn()).isEmpty();
}

QList<int> productsOnGrid(const PickerCaller &caller)
{
    const int idCol = ruleOf(caller.callerCode()).idColumn();
    QList<int> ids;
    for (int row = 1; row <= caller.lastRow(); ++row) {
        bool ok = false;
        const int id = caller.cell(row, idCol).toInt(&ok);
        if (ok) ids << id;
    }
    return ids;
}

QVector<ProductHit> findProducts(frmDM &dm, const QString &code, const QString &text, const QList<int> &excluded)
{
    const CallerRule &s = ruleOf(code);
    // Every product is looked at: the text tests come first, as the state
    // columns at the end of the row cost more to read than the three texts.
    QString sql = QStringLiteral("select %1 from SShop where (theName like ? or thePY like ? or theNum like ?) "
                                 "and theState='启用' and theDel='否'")
                      .arg(productColumns(s));
    QVariantList binds{pattern(text), pattern(text), pattern(text)};
    if (!excluded.isEmpty()) {
        QStringList marks;
        for (int id : excluded) {
            marks << QStringLiteral("?");
            binds << id;
        }
        sql += QStringLiteral(" and ID not in (%1)").arg(marks.join(QLatin1Char(',')));
    }
    sql += QStringLiteral(" order by theType,theName,theUnit");
    QVector<ProductHit> out;
    for (const QVariantList &v : dm.rows(sql, binds)) out << toProduct(v);
    return out;
}

ProductHit productHit(frmDM &dm, const QString &code, int id)
{
    const auto r = dm.rows(QStringLiteral("select %1 from SShop where ID=?").arg(productColumns(ruleOf(code))), {id});
    return r.size() == 1 ? toProduct(r[0]) : ProductHit{};
}

void putProduct(frmDM &dm, PickerCaller &caller, const ProductHit &p)
{
    const CallerRule &s = ruleOf(caller.callerCode());
    const int row = caller.currentRow();
    Money price = p.price;
    if (s.price == PriceSource::SuggestPurchase) price = dm.myRetJHPrice(p.id, caller.partnerId());
    else if (s.price == PriceSource::SuggestSales) price = dm.myRetXSPrice(p.id, caller.partnerId());

    caller.setCell(row, 1, p.num);
    caller.setCell(row, 2, p.name);
    caller.setCell(row, 3, p.stand);
    caller.setCell(row, 4, p.unit);
    caller.setCell(row, 5, price.toString());
    Money amount = price;
    if (s.salesLine) {
        caller.setCell(row, 6, QString::number(p.zk));
        amount = Money::product(price, Money::fromUnits(Money::Scale), p.zk, 100);
    }
    caller.setCell(row, s.quantityColumn(), QStringLiteral("1"));
    caller.setCell(row, s.amountColumn(), amount.toString());
    caller.setCell(row, s.idColumn(), QString::number(p.id));
    if (s.totals) caller.recomputeTotals();
}

int putAllProducts(frmDM &dm, PickerCaller &caller, const QVector<ProductHit> &list)
{
    int written = 0;
    for (const ProductHit &p : list) {
        // The grid has a fixed number of rows; what does not fit is left out
        // rather than written past the last row.
        if (caller.currentRow() > caller.lastRow()) break;
        putProduct(dm, caller, p);
        ++written;
        caller.setCurrentRow(caller.currentRow() + 1);
    }
    return written;
}

// ---- partners ----

QVector<PartnerHit> findPartners(frmDM &dm, const QString &code, const PartnerBoxes &boxes)
{
    const CallerRule &s = ruleOf(code);
    QString sql = QStringLiteral("select theName,thePro,thePho,theAdd,Remark,ID from SUnits "
                                 "where theState='启用' and theDel='否' and coalesce(theType,'')<>? "
                                 "and (theName like ? or thePY like ?)");
    QVariantList binds{s.excludedPartnerType, pattern(boxes.name), pattern(boxes.name)};
    if (s.contactFilters) {
        // Partners without a contact, phone or address are found too.
        sql += QStringLiteral(" and coalesce(thePro,'') like ? and coalesce(thePho,'') like ? and coalesce(theAdd,'') like ?");
        binds << pattern(boxes.contact) << pattern(boxes.phone) << pattern(boxes.address);
    }
    sql += QStringLiteral(" order by theType,theName");
    QVector<PartnerHit> out;
    for (const QVariantList &v : dm.rows(sql, binds)) out << toPartner(v);
    return out;
}

PartnerHit partnerHit(frmDM &dm, int id)
{
    const auto r = dm.rows(QStringLiteral("select theName,thePro,thePho,theAdd,Remark,ID from SUnits where ID=?"), {id});
    return r.size() == 1 ? toPartner(r[0]) : PartnerHit{};
}

void putPartner(PickerCaller &caller, const PartnerHit &p)
{
    const CallerRule &s = ruleOf(caller.callerCode());
    caller.setPartner(p.name, p.id);
    if (s.partnerContact) caller.setPartnerContact(p.contact, p.phone, p.address);
    if (s.partnerToAmount) caller.focusAmount();
    else caller.focusGrid();
}
