#pragma once
// Date ranges of the list screens: they start one month before today and end
// today; the month and year reports look back one year.
#include <QDate>

class QDateEdit;

enum class DateSpan { Month, Year };

// The first day of the default range ending on `today`.
QDate rangeStart(const QDate &today, DateSpan span = DateSpan::Month);

// Shows dates as "yyyy-MM-dd" with a calendar to pick from.
void setupDateEdit(QDateEdit *edit);

// Puts the default range into a pair of date edits without counting as an edit
// (a filter's box is not ticked by it).
void setDateRange(QDateEdit *from, QDateEdit *to, DateSpan span = DateSpan::Month,
                  const QDate &today = QDate::currentDate());
