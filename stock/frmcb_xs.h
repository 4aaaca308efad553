#pragma once
// "修改商品成本": corrects the unit cost recorded on one sales delivery line.
// Opened from the sales line query, which hands over the line and what it shows.
#include <QDialog>
#include <QStringList>

class QLineEdit;

class frmCB_XS : public QDialog {
    Q_OBJECT
public:
    explicit frmCB_XS(QWidget *parent = nullptr);

    // The line's ID; code, name, size, unit, sales price, discount, quantity
    // and amount as the query shows them; the unit cost and the cost.
    void setLine(int lineId, const QStringList &shown, const QString &unitCost, const QString &cost);

    QLineEdit *unitCostEdit() const { return m_unitCost; }
    QLineEdit *costEdit() const { return m_cost; }

public slots:
    void BitBtn1Click(); // "保存"

signals:
    // After the cost was saved: the query refreshes (Ref).
    void saved();

private:
    void recompute();

    QList<QLineEdit *> m_shown;
    QLineEdit *m_unitCost = nullptr;   // "成本单价："
    QLineEdit *m_cost = nullptr;       // "成        本："
    QString m_quantity;
    int m_lineId = 0;
};
