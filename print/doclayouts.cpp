#include "doclayouts.h"
#include "data/money.h"

namespace {

using Report::Band;
using Report::Field;
using Report::Format;

constexpr double RowHeight = 5;
constexpr double PrintWidth = 190;
const Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
const Qt::Alignment Centre = Qt::AlignCenter;

QString ref(const char *field, const char *dataset = "header")
{
    return QStringLiteral("[%1.\"%2\"]").arg(QLatin1String(dataset), QLatin1String(field));
}

QString now() { return QStringLiteral("[Date] [Time]"); }

struct Cell {
    QString text;
    double width;
    Format format = Format::Text;
    Qt::Alignment align = Left;
};

// A row of cells laid left to right from the left margin.
Band row(const QVector<Cell> &cells, bool frame = false)
{
    Band b;
    b.height = RowHeight;
    double x = 0;
    for (const Cell &c : cells) {
        Field f;
        f.left = x;
        f.width = c.width;
        f.text = c.text;
        f.format = c.format;
        f.align = c.align;
        f.frame = frame;
        b.fields << f;
        x += c.width;
    }
    return b;
}

// A caption followed by a value.
Cell pair(const char *caption, const char *field, double width, Format format = Format::Text)
{
    return Cell{QString::fromUtf8(caption) + ref(field), width, format};
}

Cell printedAt(const char *caption, double width) { return Cell{QString::fromUtf8(caption) + now(), width}; }

Band title()
{
    Band b;
    b.height = 7;
    b.bold = true;
    b.fontPx = 21;
    Field f;
    f.width = PrintWidth;
    f.text = ref("theName", "shop") + ref("theName", "title");
    f.align = Centre;
    b.fields << f;
    return b;
}

QVector<Band> shopLines()
{
    QVector<Band> out;
    for (const char *field : {"thePhone", "theAdd", "theGG", "theZH", "theSW"})
        out << row({Cell{ref(field, "shop"), PrintWidth}});
    return out;
}

// The line columns: sequence, product number, name, theStand, unit,
// price, quantity, amount, remark.
struct Columns {
    QVector<double> widths;
    Format quantity = Format::General;
};

Columns columnsFor(DocKind kind)
{
    Columns c;
    const bool narrow = kind == DocKind::Transfer || kind == DocKind::Loss || kind == DocKind::Overage
                        || kind == DocKind::SalesTicket || kind == DocKind::Assembly;
    c.widths = narrow ? QVector<double>{10, 20, 50, 25, 10, 20, 15, 20, 20}
                      : QVector<double>{10, 25, 45, 25, 10, 20, 15, 20, 20};
    if (kind == DocKind::Sales || kind == DocKind::SalesTicket) c.quantity = Format::Fixed;
    return c;
}

Band captionRow(const Columns &c)
{
    const char *captions[] = {"序号", "商品编码", "商品名称", "规格", "单位", "单价", "数量", "金额", "备注"};
    QVector<Cell> cells;
    for (int i = 0; i < 9; ++i) cells << Cell{QString::fromUtf8(captions[i]), c.widths[i], Format::Text, Centre};
    return row(cells, true);
}

Band lineRow(const Columns &c, const char *lines = "lines")
{
    auto w = c.widths;
    return row({Cell{ref("theBH", lines), w[0], Format::Text, Centre},
                Cell{ref("theNum", lines), w[1]},
                Cell{ref("theName", lines), w[2]},
                Cell{ref("theStand", lines), w[3]},
                Cell{ref("theUnit", lines), w[4]},
                Cell{ref("thePrice", lines), w[5], Format::Thousands, Right},
                Cell{ref("theCount", lines), w[6], c.quantity, Right},
                Cell{ref("theSum", lines), w[7], Format::Thousands, Right},
                Cell{ref("Remark", lines), w[8]}},
               true);
}

// One side of an assembly: its heading and captions, its lines and its subtotal
// (the quantity and amount sums of the dataset "sums").
Report::Group assemblySide(const Columns &c, const char *heading, const char *lines, const char *count, const char *sum)
{
    Report::Group g;
    Band head = row({Cell{QString::fromUtf8(heading), PrintWidth}});
    head.bold = true;
    g.header << head << captionRow(c);
    g.dataSet = QLatin1String(lines);
    g.master = lineRow(c, lines);
    auto w = c.widths;
    g.footer << row({Cell{QStringLiteral("小计"), w[0], Format::Text, Centre},
                     Cell{QString(), w[1] + w[2] + w[3] + w[4] + w[5]},
                     Cell{ref(count, "sums"), w[6], c.quantity, Right},
                     Cell{ref(sum, "sums"), w[7], Format::Thousands, Right},
                     Cell{QString(), w[8]}},
                    true);
    return g;
}

// The quantity and amount sums of a lines dataset, exact.
void addSums(DataSet *sums, const DataSet &lines, const char *count, const char *sum)
{
    Money q, a;
    for (int r = 0; r < lines.size(); ++r) {
        q += Money::fromVariant(lines.value(r, QStringLiteral("theCount")));
        a += Money::fromVariant(lines.value(r, QStringLiteral("theSum")));
    }
    sums->fields << QLatin1String(count) << QLatin1String(sum);
    if (sums->rows.isEmpty()) sums->rows << QVariantList();
    sums->rows[0] << q.toString() << a.toString();
}

// "合计", the amount in capitals, the total quantity and the total amount.
Band totalRow(const Columns &c, const char *total)
{
    auto w = c.widths;
    return row({Cell{QStringLiteral("合计"), w[0], Format::Text, Centre},
                Cell{QStringLiteral("大写：") + ref("theDX"), w[1] + w[2] + w[3] + w[4] + w[5]},
                Cell{ref("theCount"), w[6], c.quantity, Right},
                Cell{ref(total), w[7], Format::Thousands, Right},
                Cell{QString(), w[8]}},
               true);
}

// Header rows, one per row of cells, each cell a caption and its value.
QVector<Band> headerRows(DocKind kind)
{
    switch (kind) {
    case DocKind::Purchase:
        return {row({pair("供应商：", "MName", 80), pair("联系人：", "thePro", 50), pair("电话：", "thePho", 60)}),
                row({pair("地址：", "theAdd", 190)}),
                row({pair("采购日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::PurchaseReturn:
        return {row({pair("供应商：", "MName", 190)}),
                row({pair("退货日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Sales:
        return {row({pair("客户名称：", "MName", 80), pair("联系人：", "thePro", 50), pair("电话：", "thePho", 60)}),
                row({pair("客户地址：", "theAdd", 190)}),
                row({pair("销售日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::SalesTicket:
        return {row({Cell{QStringLiteral("客户名称：") + ref("theName") + QLatin1Char(' ') + ref("thePro")
                              + QLatin1Char(' ') + ref("thePho") + QLatin1Char(' ') + ref("theAdd"),
                          190}}),
                row({pair("销售日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::SalesReturn:
        return {row({pair("客户名称：", "MName", 190)}),
                row({pair("退货日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Transfer:
        return {row({pair("调拨日期：", "myDate", 45), pair("调出仓库：", "DName", 50), pair("调入仓库：", "WName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Loss:
        return {row({pair("报损日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Overage:
        return {row({pair("报溢日期：", "myDate", 45), pair("仓库名称：", "WName", 50), pair("经手人：", "UName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Assembly:
        return {row({pair("拆装日期：", "myDate", 45), pair("出库仓库：", "DName", 50), pair("入库仓库：", "WName", 45),
                     pair("单号：", "theNum", 50)})};
    case DocKind::Payment:
    case DocKind::Receipt: break;
    }
    return {};
}

// The rows after the total row, before the shop lines.
QVector<Band> footerRows(DocKind kind)
{
    const Format T = Format::Thousands;
    switch (kind) {
    case DocKind::Purchase:
        return {row({pair("付款金额：", "theSJ", 45, T), pair("付款方式：", "AName", 45), pair("录单人：", "IName", 45),
                     printedAt("打印：", 55)}),
                row({pair("应付金额：", "theYF", 45, T), pair("备注：", "Remark", 145)})};
    case DocKind::PurchaseReturn:
        return {row({pair("收款金额：", "theSJ", 45, T), pair("收款方式：", "AName", 45), pair("录单人：", "IName", 45),
                     printedAt("打印：", 55)}),
                row({pair("应收金额：", "theYS", 45, T), pair("备注：", "Remark", 145)})};
    case DocKind::Sales:
        return {row({pair("收款金额：", "theSJ", 45, T), pair("收款方式：", "AName", 45), pair("录单人：", "IName", 45),
                     printedAt("打印：", 55)}),
                row({pair("应收金额：", "theYS", 45, T), pair("备注：", "Remark", 145)})};
    case DocKind::SalesTicket:
        return {row({pair("收款金额：", "theSJ", 45, T), pair("收款方式：", "AName", 45), pair("录单人：", "IName", 45),
                     printedAt("打印：", 55)}),
                row({pair("备注：", "Remark", 190)})};
    case DocKind::SalesReturn:
        return {row({pair("付款金额：", "theSJ", 45, T), pair("付款方式：", "AName", 45), pair("录单人：", "IName", 45),
                     printedAt("打印：", 55)}),
                row({pair("应付金额：", "theYF", 45, T), pair("备注：", "Remark", 145)})};
    case DocKind::Transfer:
    case DocKind::Assembly:
        return {row({pair("经手人：", "UName", 45), pair("录单人：", "IName", 45), printedAt("打印：", 100)}),
                row({pair("备注：", "Remark", 190)})};
    case DocKind::Loss:
    case DocKind::Overage:
        return {row({pair("录单人：", "IName", 45), pair("备注：", "Remark", 90), printedAt("打印：", 55)})};
    case DocKind::Payment:
    case DocKind::Receipt: break;
    }
    return {};
}

// Vouchers: one block without lines.
QVector<Band> voucherBlock(bool payment)
{
    auto label = [](const char *text) { return Cell{QString::fromUtf8(text), 20, Format::Text, Centre}; };
    auto value = [](const QString &text, double width, Format f = Format::Text) { return Cell{text, width, f}; };
    QVector<Band> out;
    out << row({pair(payment ? "供应商：" : "客户名称：", "MName", 120), pair("单号：", "theNum", 70)});
    out << row({label(payment ? "付款日期" : "收款日期"), value(ref("myDate"), 27.5),
                label(payment ? "付款金额" : "收款金额"), value(ref(payment ? "theFK" : "theSK"), 27.5, Format::Thousands),
                label(payment ? "付款方式" : "收款方式"), value(ref("AName"), 27.5),
                label("经手人员"), value(ref("UName"), 27.5)},
               true);
    out << row({label("大写金额"), value(ref("theDX"), 75), label("录单人员"), value(ref("IName"), 75)}, true);
    out << row({label(payment ? "付款备注" : "收款备注"), value(ref("Remark"), 75), label("打印时间"), value(now(), 75)},
               true);
    out << shopLines();
    return out;
}

QString fileName(DocKind kind)
{
    switch (kind) {
    case DocKind::Purchase: return QStringLiteral("Print/cg.rf3");
    case DocKind::PurchaseReturn: return QStringLiteral("Print/ct.rf3");
    case DocKind::Payment: return QStringLiteral("Print/fk.rf3");
    case DocKind::Sales: return QStringLiteral("Print/xs.rf3");
    case DocKind::SalesTicket: return QStringLiteral("Print/xs1.rf3");
    case DocKind::SalesReturn: return QStringLiteral("Print/xt.rf3");
    case DocKind::Receipt: return QStringLiteral("Print/sk.rf3");
    case DocKind::Loss: return QStringLiteral("Print/bs.rf3");
    case DocKind::Overage: return QStringLiteral("Print/by.rf3");
    case DocKind::Transfer: return QStringLiteral("Print/db.rf3");
    case DocKind::Assembly: return QStringLiteral("Print/cz.rf3");
    }
    return QString();
}

} // namespace

Report::Template documentTemplate(DocKind kind)
{
    Report::Template t;
    t.fileName = fileName(kind);
    if (kind == DocKind::SalesTicket) {
        t.paper = QSizeF(210, 148.5);
        t.fontPx = 13;
    }
    t.pageHeader << title();
    if (kind == DocKind::Payment || kind == DocKind::Receipt) {
        t.footer = voucherBlock(kind == DocKind::Payment);
        return t;
    }
    const Columns columns = columnsFor(kind);
    if (kind == DocKind::Assembly) {
        // No totals of its own: each side with its subtotal, the goods taken out first.
        t.pageHeader << headerRows(kind);
        t.groups << assemblySide(columns, "出库商品", "lines", "outCount", "outSum")
                 << assemblySide(columns, "入库商品", "linesIn", "inCount", "inSum");
        t.footer << footerRows(kind) << shopLines();
        return t;
    }
    t.pageHeader << headerRows(kind) << captionRow(columns);
    t.masterDataSet = QStringLiteral("lines");
    t.master = lineRow(columns);
    const bool stock = kind == DocKind::Transfer || kind == DocKind::Loss || kind == DocKind::Overage;
    t.footer << totalRow(columns, stock ? "theSum" : "theHJ") << footerRows(kind) << shopLines();
    return t;
}

Report::DataSets documentDataSets(const PrintData &data)
{
    Report::DataSets sets{{QStringLiteral("shop"), data.shop},
                          {QStringLiteral("title"), data.title},
                          {QStringLiteral("header"), data.header},
                          {QStringLiteral("lines"), data.lines}};
    if (data.kind == DocKind::Assembly) {
        DataSet sums;
        addSums(&sums, data.lines, "outCount", "outSum");
        addSums(&sums, data.linesIn, "inCount", "inSum");
        sets.insert(QStringLiteral("linesIn"), data.linesIn);
        sets.insert(QStringLiteral("sums"), sums);
    }
    return sets;
}
