#pragma once
// The rights of one user: every menu item with its code in a four-column check
// list; saving replaces the user's rights.
#include <QDialog>
#include <QVector>

class QCheckBox;
class QGroupBox;

class frmLevel : public QDialog {
    Q_OBJECT
public:
    frmLevel(const QString &userName, int userId, QWidget *parent = nullptr);

    // The check list items, in code order.
    const QVector<QCheckBox *> &items() const { return m_items; }
    QCheckBox *selectAllBox() const { return m_all; }

public slots:
    void save();

private:
    void load();

    int m_userId;
    QGroupBox *m_group;
    QWidget *m_list;
    QCheckBox *m_all;
    QVector<QCheckBox *> m_items;
};
