#pragma once
// User management: the list of users, adding a user, switching users on and
// off, deleting them, and opening their rights and default-options dialogs.
#include <QDialog>

class QLineEdit;
class QMenu;
class QSqlQueryModel;
class QTableView;

class frmUser : public QDialog {
    Q_OBJECT
public:
    explicit frmUser(QWidget *parent = nullptr);

    QTableView *grid() const { return m_grid; }
    QMenu *popupMenu() const { return m_popup; }

public slots:
    void Ref();
    void newUser();
    void save();
    void enableUser();
    void disableUser();
    void editRights();
    void editDefaults();
    void deleteUser();

private:
    // The selected row's id and name; when the grid is empty it is read again
    // and false is returned.
    bool selected(int *id, QString *name);
    void setState(bool on);
    // Opens the rights or default-options dialog for the selected user.
    template <class Dialog> void openForSelected();

    QTableView *m_grid;
    QSqlQueryModel *m_model;
    QLineEdit *m_name;
    QLineEdit *m_remark;
    QMenu *m_popup;
};
