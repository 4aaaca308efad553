#pragma once
// A calling screen for the lookup tests: a line grid kept as a map of cells,
// partner boxes, and a record of what the lookup asked of it.
#include "modalwatch.h"
#include "trade/pickercaller.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QPair>
#include <QTimer>
#include <functional>

class TestCaller : public PickerCaller {
public:
    explicit TestCaller(const QString &code) : m_code(code) {}

    QString callerCode() const override { return m_code; }
    int currentRow() const override { return row; }
    void setCurrentRow(int r) override { row = r; }
    QString cell(int r, int c) const override { return cells.value({r, c}); }
    void setCell(int r, int c, const QString &text) override { cells[{r, c}] = text; }
    void recomputeTotals() override { ++totals; }

    PartnerBoxes partnerBoxes() const override { return boxes; }
    int partnerId() const override { return uid; }
    void setPartner(const QString &name, int id) override
    {
        boxes.name = name;
        uid = id;
    }
    void setPartnerContact(const QString &c, const QString &p, const QString &a) override
    {
        boxes.contact = c;
        boxes.phone = p;
        boxes.address = a;
        contactWritten = true;
    }
    void focusGrid() override { focus = QStringLiteral("grid"); }
    void focusAmount() override { focus = QStringLiteral("amount"); }

    // Cells 1..n of a row, joined with "|".
    QString rowText(int r, int last) const
    {
        QStringList out;
        for (int c = 1; c <= last; ++c) out << cell(r, c);
        return out.join(QLatin1Char('|'));
    }

    int row = 1;
    QHash<QPair<int, int>, QString> cells;
    int totals = 0;
    PartnerBoxes boxes;
    int uid = 0;
    bool contactWritten = false;
    QString focus;

private:
    QString m_code;
};

// Acts on the modal dialogs a test opens: next() runs `act` on the dialog that
// the next exec() shows and records its object name in *seen. Declared once per
// test function; leaving the function (a failed check included) drops what has
// not run yet, so it cannot reach into a later test.
class ModalScript {
public:
    // Waits up to thirty seconds for the dialog: a loaded machine may be slow to open it.
    void next(QString *seen, std::function<void(QDialog *)> act) { attempt(seen, std::move(act), Tries); }

private:
    // Events processed before the dialog opens (a click's own) may run the
    // timer early: it waits a little and looks again.
    void attempt(QString *seen, std::function<void(QDialog *)> act, int triesLeft)
    {
        QTimer::singleShot(triesLeft == Tries ? 0 : 10, &m_guard, [this, seen, act, triesLeft] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d) {
                if (triesLeft > 0) attempt(seen, act, triesLeft - 1);
                return;
            }
            if (seen) *seen = d->objectName();
            act(d);
        });
    }

    static constexpr int Tries = 3000;
    QObject m_guard;
};
