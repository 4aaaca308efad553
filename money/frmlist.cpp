#include "frmlist.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "ui/msg.h"

#include <QSqlQueryModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

frmList::frmList(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("资金流动日志"));
    setColumns({
        ListColumn("theDate", "营业日期").w(80).asText(),
        ListColumn("theType", "日志类型").w(90),
        ListColumn("theNum", "单号"),
        ListColumn("theIn", "收入金额").num().w(80).sum(QStringLiteral("收入合计：")),
        ListColumn("theOut", "支出金额").num().w(80).sum(QStringLiteral("支出合计：")),
        ListColumn("MName", "收付款方式").w(90),
        ListColumn("UName", "收付款人").w(90),
        ListColumn("IName", "录入人").w(90),
        ListColumn("ID").hide(),
    });
    setQuery(QStringLiteral("select theDate,theType,theNum,theIn,theOut,MName,UName,IName,ID from UList"),
             QStringLiteral("order by ID desc"));
    setPaged(true);
    setEmptyTotalsZero(true);

    addDateFilter(QStringLiteral("营业日期"), QStringLiteral("theDate"));
    // The words the program writes; any other text can be typed.
    FilterRow *type = addChoiceFilter(QStringLiteral("日志类型"), QStringLiteral("theType"), typeWords());
    type->comboBox()->setEditable(true);
    type->comboBox()->setInsertPolicy(QComboBox::NoInsert);
    type->comboBox()->setCurrentIndex(-1);
    connect(type->comboBox()->lineEdit(), &QLineEdit::textEdited, type, &FilterRow::tick);
    try {
        addChoiceFilter(QStringLiteral("收付款方式"), QStringLiteral("MName"), DM().DBComAccount());
        addChoiceFilter(QStringLiteral("收付款人"), QStringLiteral("UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }

    setCountLabel(QStringLiteral("日志数量："));
    m_balance = new QLabel(QStringLiteral("结余合计："), this);
    m_balance->setObjectName(QStringLiteral("Lab_JY"));
    QHBoxLayout *bottom = bottomLayout();
    bottom->insertWidget(bottom->count() - 1, m_balance);   // after the totals, before the stretch

    setExport(QStringLiteral("资金流动日志表"), {4, 10, 30, 12, 12, 12, 12, 12, 12});
    exportLayout().totalCentred = false;
}

QStringList frmList::typeWords()
{
    // Entry, deletion and later settlement of each kind of trade document,
    // then the vouchers and their deletion.
    QStringList out;
    for (const char *w : MoneyWord::All) out << QString::fromUtf8(w);
    return out;
}

QString frmList::balanceText() const
{
    const Money in = Money::fromString(totalText(QStringLiteral("theIn")));
    const Money out = Money::fromString(totalText(QStringLiteral("theOut")));
    return (in - out).toString();
}

void frmList::afterRef() { m_balance->setText(QStringLiteral("结余合计：") + balanceText()); }

void frmList::adjustExport(ExportLayout &layout)
{
    // After the sums of money in (E) and out (F): "结余" and the difference.
    layout.totalCells.insert(6, QStringLiteral("结余"));
    layout.totalCells.insert(7, balanceText());
}
