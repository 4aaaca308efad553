#pragma once
// "数据备份" and "数据恢复": a copy of the database named after the business
// date into a folder the user chooses, and the return to such a copy. Both are
// one design: notes, a read-only path with "选择路径", the action and "退出".
#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

class BackupPathDialog : public QDialog {
    Q_OBJECT
public:
    QLineEdit *pathEdit() const { return m_path; }
    QPushButton *chooseButton() const { return m_choose; }

public slots:
    virtual void Button1Click() = 0; // "选择路径"
    virtual void BitBtn1Click() = 0; // the action

protected:
    BackupPathDialog(QWidget *parent, const QString &title, const QStringList &notes, const QString &pathLabel,
                     const QString &actionText);
    QLineEdit *m_path;
    QPushButton *m_choose;
};

class frmBackup : public BackupPathDialog {
    Q_OBJECT
public:
    explicit frmBackup(QWidget *parent = nullptr);
    void Button1Click() override;
    void BitBtn1Click() override; // "备份"
};

class frmRecover : public BackupPathDialog {
    Q_OBJECT
public:
    explicit frmRecover(QWidget *parent = nullptr);
    void Button1Click() override;
    void BitBtn1Click() override; // "恢复"
};
