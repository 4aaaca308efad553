#include "printdata.h"
#include "data/dm.h"
#include "data/words.h"

namespace {

QStringList split(const char *columns)
{
    return QString::fromUtf8(columns).split(QLatin1Char(','));
}

// The columns of the header tables read whole.
QStringList tradeColumns(const char *balance)
{
    return split("ID,theNum,theDate,myDate,UID,MName,WName,AName,UName,IName,Remark,theHJ,theSJ") << QString::fromUtf8(balance)
           << split("theCount,theDX,theDel");
}

QStringList voucherColumns(const char *amount)
{
    return split("ID,theNum,theDate,myDate,UID,MName,AName,UName,IName,Remark,theDX,theDel") << QString::fromUtf8(amount);
}

QStringList stockColumns(bool issuing)
{
    QStringList c = split("ID,theNum,theDate,myDate,WName");
    if (issuing) c << QStringLiteral("DName");
    return c << split("UName,IName,Remark,theSum,theCount,theDX,theDel");
}

DataSet header(frmDM &dm, DocKind kind, const QString &number)
{
    const QString byNumber = QStringLiteral(" Where theNum=?");
    switch (kind) {
    case DocKind::Purchase:
        return openDataSet(dm,
                           split("myDate,theNum,theName,thePro,thePho,theAdd,theHJ,theSJ,UJH.theYF as theYF,WName,UName,"
                                 "IName,UJH.Remark as Remark,theYC,theCount,theDX,AName,MName"),
                           QStringLiteral("from UJH INNER JOIN SUnits ON UJH.UID=SUnits.ID") + byNumber, {number});
    case DocKind::PurchaseReturn:
        return openDataSet(dm, tradeColumns("theYS"), QStringLiteral("from UCG_O") + byNumber, {number});
    case DocKind::Payment:
        return openDataSet(dm, voucherColumns("theFK"), QStringLiteral("from UFK") + byNumber, {number});
    case DocKind::Sales:
        return openDataSet(dm,
                           split("myDate,theNum,theName,thePro,thePho,theAdd,theHJ,theSJ,UXS.theYS as theYS,WName,UName,"
                                 "IName,UXS.Remark as Remark,theYC,AName,theDX,MName,theCount"),
                           QStringLiteral("from UXS INNER JOIN SUnits ON UXS.UID=SUnits.ID") + byNumber, {number});
    case DocKind::SalesTicket:
        // A cancelled delivery prints its ticket without header values.
        return openDataSet(dm,
                           split("myDate,theNum,theName,thePro,thePho,theAdd,theHJ,theSJ,WName,AName,UName,IName,"
                                 "UXS.Remark as Remark,theDX,theCount"),
                           QStringLiteral("from UXS INNER JOIN SUnits ON UXS.UID=SUnits.ID "
                                          "Where (UXS.theDel=?) AND (theNum=?)"),
                           {QString::fromUtf8(Words::No), number});
    case DocKind::SalesReturn:
        return openDataSet(dm, tradeColumns("theYF"), QStringLiteral("from UXS_O") + byNumber, {number});
    case DocKind::Receipt:
        return openDataSet(dm, voucherColumns("theSK"), QStringLiteral("from USK") + byNumber, {number});
    case DocKind::Loss:
        return openDataSet(dm, stockColumns(false), QStringLiteral("from UBS") + byNumber, {number});
    case DocKind::Overage:
        return openDataSet(dm, stockColumns(false), QStringLiteral("from UBY") + byNumber, {number});
    case DocKind::Transfer:
        return openDataSet(dm, stockColumns(true), QStringLiteral("from UDB") + byNumber, {number});
    case DocKind::Assembly:
        return openDataSet(dm, split("ID,theNum,theDate,myDate,DName,WName,UName,IName,Remark,theDel"),
                           QStringLiteral("from UCZ") + byNumber, {number});
    }
    return DataSet();
}

DataSet lines(frmDM &dm, DocKind kind, const QString &number, const QString &table)
{
    if (table.isEmpty()) return DataSet();
    // The delivery prints the discounted unit price. The division is written with
    // a decimal so that whole stored prices are not divided as integers.
    const QString price = kind == DocKind::Sales ? QStringLiteral("thePrice*UXS_List.theZK/100.0 as thePrice")
                                                 : QStringLiteral("thePrice");
    QStringList columns{QStringLiteral("theName"), QStringLiteral("theStand"), QStringLiteral("theUnit"),
                        QStringLiteral("theCount"), price, QStringLiteral("theSum"), QStringLiteral("theBH"),
                        table + QStringLiteral(".Remark as Remark"), QStringLiteral("SShop.theNum as theNum")};
    if (kind == DocKind::Sales) columns << QStringLiteral("UXS_List.theZK as theZK");
    return openDataSet(dm, columns,
                       QStringLiteral("from %1 INNER JOIN SShop ON %1.SID = SShop.ID Where %1.theNum=? order by theBH")
                           .arg(table),
                       {number});
}

} // namespace

int titleId(DocKind kind)
{
    switch (kind) {
    case DocKind::Purchase: return 1;
    case DocKind::PurchaseReturn: return 2;
    case DocKind::Payment: return 3;
    case DocKind::Sales:
    case DocKind::SalesTicket: return 4;
    case DocKind::SalesReturn: return 5;
    case DocKind::Receipt: return 6;
    case DocKind::Loss: return 7;
    case DocKind::Overage: return 8;
    case DocKind::Transfer: return 9;
    case DocKind::Assembly: return 10;
    }
    return 0;
}

QString linesTable(DocKind kind)
{
    switch (kind) {
    case DocKind::Purchase: return QStringLiteral("UJH_List");
    case DocKind::PurchaseReturn: return QStringLiteral("UCG_O_List");
    case DocKind::Sales:
    case DocKind::SalesTicket: return QStringLiteral("UXS_List");
    case DocKind::SalesReturn: return QStringLiteral("UXS_O_List");
    case DocKind::Loss: return QStringLiteral("UBS_List");
    case DocKind::Overage: return QStringLiteral("UBY_List");
    case DocKind::Transfer: return QStringLiteral("UDB_List");
    case DocKind::Assembly: return QStringLiteral("UCZ_O_List");
    case DocKind::Payment:
    case DocKind::Receipt: break;
    }
    return QString();
}

DataSet PrintUnit(frmDM &dm)
{
    return openDataSet(dm, split("theName,thePhone,theAdd,theGG,theZH,theSW"), QStringLiteral("from SDept"));
}

DataSet PrintDJ(frmDM &dm, int id)
{
    return openDataSet(dm, split("ID,theName"), QStringLiteral("from SDJ WHERE (ID = ?)"), {id});
}

PrintData loadPrintData(frmDM &dm, DocKind kind, const QString &number)
{
    PrintData d;
    d.kind = kind;
    d.number = number;
    d.shop = PrintUnit(dm);
    d.title = PrintDJ(dm, titleId(kind));
    d.header = header(dm, kind, number);
    d.lines = lines(dm, kind, number, linesTable(kind));
    if (kind == DocKind::Assembly) d.linesIn = lines(dm, kind, number, QStringLiteral("UCZ_I_List"));
    return d;
}
