#pragma once
// The main window: the frame of the whole program with its menu (built from the
// menu table), toolbar, background picture and status bar. Every other screen
// is opened from here, modal ones as dialogs and list screens as maximised
// child windows of the frame, at most one of those at a time.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QVector>

struct MenuEntry;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;
class BackgroundArea;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Sets the version and edition and reads the shop row (the books' folder,
    // AppPath, is set before: shell/program.cpp).
    // Throws DbError when the shop row cannot be read.
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Makes the menu items of the user visible (its SLevel rows). Nothing is
    // hidden again; a code pointing past a menu is ignored. Throws DbError.
    void applyRights(int userId);

    // Closes every child window opened from the menu that is still open.
    void myfrmClose();

    // Loads AppPath + "bj.jpg" as background when it exists and is a readable
    // picture; otherwise the built-in picture stays. Returns true when the file was used.
    bool loadBackground();

    // ---- for the screens and the tests ----
    QMdiArea *mdiArea() const;
    QMenu *topMenu(int index) const;
    int topCount() const { return int(m_tops.size()); }
    // The menu item with this caption ("采购入库单 &A"), or nullptr.
    QAction *menuItem(const QString &caption) const;
    // The toolbar button with this caption ("采购入库"), or nullptr.
    QToolButton *toolButton(const QString &caption) const;
    // Status panel 1 … 5.
    QLabel *statusPanel(int number) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void runCommand(const MenuEntry &entry);
    void runToolCommand(const QString &menuCaption);
    void openModal(const QString &screen);
    void openChild(const QString &screen);
    QMdiSubWindow *addChild(QWidget *screen);
    void runShowSteps();
    void stockAlert();

    BackgroundArea *m_area = nullptr;
    QVector<QMenu *> m_tops;
    QVector<QVector<QAction *>> m_items;
    QVector<QToolButton *> m_tools;
    QLabel *m_panels[5] = {};
    // One entry per child screen opened from the menu and not yet closed.
    QHash<QString, QPointer<QMdiSubWindow>> m_open;
    bool m_shown = false;
};
