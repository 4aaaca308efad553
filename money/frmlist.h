#pragma once
// "资金流动日志": the money log with its filters and the totals of money in,
// money out and their difference over every matching row. The log grows by
// every payment and receipt of ten years, so it is read a page at a time; the
// count and the totals come from one query of their own, summed exactly.
#include "ui/listscreen.h"

class QLabel;

class frmList : public ListScreen {
    Q_OBJECT
public:
    explicit frmList(QWidget *parent = nullptr);

    // The words the type drop-down offers, in its order: every word the
    // program writes into the log.
    static QStringList typeWords();

    // The text after "结余合计：": money in less money out.
    QString balanceText() const;

protected:
    void afterRef() override;
    void adjustExport(ExportLayout &layout) override;

private:
    QLabel *m_balance = nullptr;   // Lab_JY
};
