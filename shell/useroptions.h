#pragma once
// The default choices of one user (warehouse, account, handler, payer) that the
// entry screens preselect. Saving ends the program: the values are read at login.
#include <QDialog>

class QComboBox;

class frmXXSZ : public QDialog {
    Q_OBJECT
public:
    frmXXSZ(const QString &userName, int userId, QWidget *parent = nullptr);

    QComboBox *wareBox() const { return m_ck; }
    QComboBox *accountBox() const { return m_zh; }
    QComboBox *handlerBox() const { return m_jsr; }
    QComboBox *payerBox() const { return m_sfkr; }

public slots:
    void save();

private:
    int m_userId;
    QComboBox *m_ck;
    QComboBox *m_zh;
    QComboBox *m_jsr;
    QComboBox *m_sfkr;
};
