#pragma once
// One filter of a list screen: a check box and a field beside it. Editing the
// field ticks the box; only ticked filters take part in the query. Each filter
// gives its piece of the WHERE clause with "?" for its values.
#include "daterange.h"
#include "sqlcondition.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QWidget;

class FilterRow : public QObject {
    Q_OBJECT
public:
    enum class Kind { Contains, Equals, DateRange, Flag, Custom };
    using Builder = std::function<SqlCondition()>;

    // Text field: any of `fields` contains the typed text (like '%text%').
    static FilterRow *contains(QWidget *parent, const QString &caption, const QStringList &fields);
    // Text field over the rows of another table: `key` is one of the IDs of
    // `table` whose `fields` contain the text ("H.UID in (select ID from SUnits
    // where theName like ? or thePY like ?)"), so that a list of years of
    // documents finds a rare partner's few rows through its index.
    static FilterRow *containsVia(QWidget *parent, const QString &caption, const QString &key, const QString &table,
                                  const QStringList &fields);
    // Pick list from a model column (the shared pick lists of the data module).
    static FilterRow *equals(QWidget *parent, const QString &caption, const QString &field,
                             QAbstractItemModel *pick, int pickColumn = 0);
    // Pick list of fixed words.
    static FilterRow *equals(QWidget *parent, const QString &caption, const QString &field, const QStringList &items);
    // Two dates, both ends included; starts on the default range.
    static FilterRow *dateRange(QWidget *parent, const QString &caption, const QString &field,
                                DateSpan span = DateSpan::Month);
    // A box alone: `sql` while ticked, `uncheckedSql` (if any) while not.
    static FilterRow *flag(QWidget *parent, const QString &caption, const QString &sql,
                           const QVariantList &binds = {}, const QString &uncheckedSql = QString(),
                           const QVariantList &uncheckedBinds = {});
    // Any other field: the screen makes the editor, calls tick() on its edits,
    // and `build` gives the condition while the box is ticked.
    static FilterRow *custom(QWidget *parent, const QString &caption, QWidget *editor, Builder build);

    Kind kind() const { return m_kind; }
    QCheckBox *box() const { return m_box; }
    // What stands beside the box (null for a flag).
    QWidget *editor() const { return m_editor; }
    QLineEdit *lineEdit() const { return m_line; }
    QComboBox *comboBox() const { return m_combo; }
    QDateEdit *dateFrom() const { return m_from; }
    QDateEdit *dateTo() const { return m_to; }

    bool isTicked() const;
    // A date range over a field holding a time ("yyyy-MM-dd hh:mm:ss"): the
    // last day counts to its end.
    void setTimeField(bool on) { m_timeField = on; }
    // The piece of the WHERE clause this filter adds now (empty when it adds none).
    SqlCondition condition() const;

public slots:
    void tick();

private:
    FilterRow(QWidget *parent, Kind kind, const QString &caption);
    bool eventFilter(QObject *watched, QEvent *event) override;

    Kind m_kind;
    QCheckBox *m_box = nullptr;
    QWidget *m_editor = nullptr;
    QLineEdit *m_line = nullptr;
    QComboBox *m_combo = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QStringList m_fields;
    QString m_viaKey, m_viaTable;
    SqlCondition m_on, m_off;
    Builder m_build;
    bool m_timeField = false;
};
