#pragma once
// The login window: pick a user, type the password, choose the working date.
// A successful login sets the session values, applies the user's rights to the
// main window, hides this window and shows the main window. Closing this window
// without logging in ends the program. Five wrong passwords in a row for one
// user make that user's login wait (loginthrottle.h).
#include "loginthrottle.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class frmMain;

class frmLogin : public QDialog {
    Q_OBJECT
public:
    // Throws DbError when the user list cannot be read.
    explicit frmLogin(frmMain *main, QWidget *parent = nullptr);

    QComboBox *userBox() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_pass; }
    QDateEdit *dateEdit() const { return m_date; }
    QPushButton *loginButton() const { return m_login; }
    // Tests move the clock of the wait after wrong passwords themselves.
    void setClock(LoginThrottle::Clock clock) { m_throttle = LoginThrottle(std::move(clock)); }

public slots:
    void login();
    // Closing the window, "退出" and Esc end the program.
    void reject() override;

private:
    frmMain *m_main;
    QComboBox *m_user;
    QLineEdit *m_pass;
    QDateEdit *m_date;
    QPushButton *m_login;
    LoginThrottle m_throttle;
};
