#pragma once
// Changing the logged-in user's password. The old password must be typed
// exactly as stored (letter case counts); a change ends the program so the
// next login uses it.
#include <QDialog>

class QLineEdit;

class frmCPass : public QDialog {
    Q_OBJECT
public:
    explicit frmCPass(QWidget *parent = nullptr);

    QLineEdit *oldEdit() const { return m_old; }
    QLineEdit *newEdit() const { return m_new; }
    QLineEdit *confirmEdit() const { return m_confirm; }

public slots:
    void confirm();

private:
    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_confirm;
};
