#include "daterange.h"
#include "data/globals.h"

#include <QDateEdit>
#include <QSignalBlocker>

QDate rangeStart(const QDate &today, DateSpan span)
{
    return span == DateSpan::Year ? today.addYears(-1) : today.addMonths(-1);
}

void setupDateEdit(QDateEdit *edit)
{
    edit->setDisplayFormat(QString::fromLatin1(DateFormat));
    edit->setCalendarPopup(true);
}

void setDateRange(QDateEdit *from, QDateEdit *to, DateSpan span, const QDate &today)
{
    const QSignalBlocker b1(from);
    const QSignalBlocker b2(to);
    from->setDate(rangeStart(today, span));
    to->setDate(today);
}
