#include "main.h"

#include <QGuiApplication>
#include <QScreen>
#include "artwork.h"
#include "backgroundfile.h"
#include "accounts.h"
#include "ui/msg.h"
#include "ui/pictureio.h"
#include "screens.h"
#include "startup.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/words.h"
#include "data/menutable.h"

#include "jxcversion.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

// The frame's client area with the background picture stretched over it.
class BackgroundArea : public QMdiArea {
public:
    using QMdiArea::QMdiArea;
    void setPicture(const QPixmap &pm, bool builtIn)
    {
        m_picture = pm;
        m_builtIn = builtIn;
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(viewport());
        const QRect r = viewport()->rect();
        if (m_builtIn && m_picture.size() != r.size()) m_picture = Artwork::background(r.size());
        p.drawPixmap(r, m_picture);
    }

private:
    QPixmap m_picture;
    bool m_builtIn = true;
};

namespace {

const char *const Edition = "单机版";

// The two new-entry screens get a clear id ("0") so they start a new record;
// they read the property "newEntry" set before they are shown.
bool isNewEntryScreen(const QString &screen)
{
    return screen == QLatin1String("frmShop_In") || screen == QLatin1String("frmUnits_In");
}

// Toolbar button caption, picture, and the menu item whose command it runs.
struct ToolDef {
    const char *caption;
    Artwork::Tool picture;
    const char *menuCaption;
};

const ToolDef Tools[] = {
    {"采购入库", Artwork::Tool::PurchaseIn, "采购入库单 &A"},
    {"采购退货", Artwork::Tool::PurchaseReturn, "采购退货单 &E"},
    {"销售出库", Artwork::Tool::SalesOut, "销售出库单 &A"},
    {"销售退货", Artwork::Tool::SalesReturn, "销售退货单 &E"},
    {"商品录入", Artwork::Tool::ProductEntry, "商品录入 &B"},
    {"商品调拨", Artwork::Tool::Transfer, "商品调拨单 &E"},
    {"商品报损", Artwork::Tool::Loss, "商品报损单 &H"},
    {"商品报溢", Artwork::Tool::Overage, "商品报溢单 &K"},
    {"商品拆装", Artwork::Tool::Assembly, "商品拆装单 &N"},
    {"应收查询", Artwork::Tool::Receivable, "应收查询 &D"},
    {"应付查询", Artwork::Tool::Payable, "应付查询 &E"},
    {"库存报表", Artwork::Tool::Stock, "商品库存查询 &A"},
    {"帮助", Artwork::Tool::Help, "帮助 &H"},
    {"退出", Artwork::Tool::Exit, "退出 &X"},
};

// Items shown before any rights are applied (besides the whole help menu).
bool visibleWithoutRights(const MenuEntry &e)
{
    return e.caption == QStringLiteral("退出 &X") || e.caption == QStringLiteral("采购退货收款查询 &H");
}

const MenuEntry *entryByCaption(const QString &caption)
{
    for (const MenuTop &top : menuTree())
        for (const MenuEntry &e : top.items)
            if (e.caption == caption) return &e;
    return nullptr;
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    Shell::installDateFormat();
    G.AppEdition = QString::fromUtf8(Edition);
    G.AppVersion = QStringLiteral(JXC_VERSION);
    DM().FindDept();

    setWindowTitle(Msg::appTitle());
    // Fill the screen even where no window manager maximises for us.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);

    m_area = new BackgroundArea(this);
    m_area->setObjectName(QStringLiteral("MdiArea"));
    m_area->setPicture(Artwork::background(QSize(1024, 768)), true);
    setCentralWidget(m_area);

    buildMenu();
    buildToolBar();
    buildStatusBar();
}

frmMain::~frmMain() = default;

void frmMain::buildMenu()
{
    const QVector<MenuTop> &tree = menuTree();
    for (const MenuTop &top : tree) {
        QMenu *menu = menuBar()->addMenu(top.caption);
        // Only the help menu carries no rights codes; it is always shown in full.
        const bool alwaysShown = top.items.isEmpty() || top.items.first().code.isEmpty();
        QVector<QAction *> items;
        for (const MenuEntry &e : top.items) {
            QAction *a = nullptr;
            if (e.isSeparator()) {
                a = menu->addSeparator();
            } else {
                a = menu->addAction(e.caption);
                const MenuEntry entry = e;
                connect(a, &QAction::triggered, this, [this, entry] { runCommand(entry); });
            }
            if (!e.code.isEmpty()) a->setObjectName(QStringLiteral("N") + e.code);
            a->setVisible(alwaysShown || visibleWithoutRights(e));
            items << a;
        }
        menu->menuAction()->setVisible(alwaysShown || &top == &tree.first());
        m_tops << menu;
        m_items << items;
    }
}

void frmMain::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    int n = 0;
    for (const ToolDef &t : Tools) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QStringLiteral("ToolButton%1").arg(++n));
        b->setText(QString::fromUtf8(t.caption));
        b->setIcon(QIcon(Artwork::toolPicture(t.picture)));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFixedSize(60, 60);
        const QString menuCaption = QString::fromUtf8(t.menuCaption);
        connect(b, &QToolButton::clicked, this, [this, menuCaption] { runToolCommand(menuCaption); });
        bar->addWidget(b);
        m_tools << b;
    }
}

void frmMain::buildStatusBar()
{
    const QString texts[5] = {Msg::appTitle(), QStringLiteral("营业日期："), QString(), QStringLiteral("当前用户："), QString()};
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(texts[i], this);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        // At least the panel width; a wider text widens its panel instead of running into the next.
        l->setMinimumWidth(100);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setAlignment((i == 1 || i == 3) ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
        statusBar()->addWidget(l);
        m_panels[i] = l;
    }
}

QMdiArea *frmMain::mdiArea() const { return m_area; }

QMenu *frmMain::topMenu(int index) const
{
    return index >= 0 && index < m_tops.size() ? m_tops[index] : nullptr;
}

QAction *frmMain::menuItem(const QString &caption) const
{
    for (const auto &items : m_items)
        for (QAction *a : items)
            if (!a->isSeparator() && a->text() == caption) return a;
    return nullptr;
}

QToolButton *frmMain::toolButton(const QString &caption) const
{
    for (QToolButton *b : m_tools)
        if (b->text() == caption) return b;
    return nullptr;
}

QLabel *frmMain::statusPanel(int number) const
{
    return number >= 1 && number <= 5 ? m_panels[number - 1] : nullptr;
}

void frmMain::applyRights(int userId)
{
    for (const QString &code : Accounts::rightCodes(DM(), userId)) {
        bool okTop = false, okItem = false;
        const int top = code.left(1).toInt(&okTop);
        const int item = code.mid(1, 2).toInt(&okItem);
        // A code that names no menu item (foreign or damaged rows) grants nothing.
        if (code.size() != 3 || !okTop || !okItem) continue;
        if (top < 0 || top >= m_tops.size() || item < 0 || item >= m_items[top].size()) continue;
        m_tops[top]->menuAction()->setVisible(true);
        m_items[top][item]->setVisible(true);
    }
}

void frmMain::myfrmClose()
{
    for (auto it = m_open.begin(); it != m_open.end();) {
        QMdiSubWindow *w = it.value();
        // A window that refuses to close stays registered.
        if (!w || w->close()) it = m_open.erase(it);
        else ++it;
    }
}

void frmMain::runToolCommand(const QString &menuCaption)
{
    // A toolbar button runs its menu item's command only when the user may see that item.
    QAction *a = menuItem(menuCaption);
    const MenuEntry *e = entryByCaption(menuCaption);
    if (!a || !e || !a->isVisible()) return;
    runCommand(*e);
}

void frmMain::runCommand(const MenuEntry &entry)
{
    if (entry.screen == QLatin1String("exit")) {
        close();
        return;
    }
    myfrmClose();
    if (entry.screen == QLatin1String("help")) {
        Shell::openUrl(QUrl::fromLocalFile(Shell::helpPage()));
    } else if (entry.screen == QLatin1String("web")) {
        Shell::openUrl(QUrl(Shell::webSite()));
    } else if (entry.child) {
        openChild(entry.screen);
    } else {
        openModal(entry.screen);
    }
}

void frmMain::openModal(const QString &screen)
{
    QWidget *w = nullptr;
    try {
        w = Screens::create(screen, this);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    if (!w) return;
    if (isNewEntryScreen(screen)) w->setProperty("newEntry", true);
    if (auto *d = qobject_cast<QDialog *>(w)) {
        QPointer<QDialog> guard(d);
        d->exec();
        delete guard.data();
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowFlag(Qt::Window, true);
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
    }
}

QMdiSubWindow *frmMain::addChild(QWidget *screen)
{
    QMdiSubWindow *sub = m_area->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    return sub;
}

void frmMain::openChild(const QString &screen)
{
    QWidget *w = nullptr;
    try {
        w = Screens::create(screen, m_area);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    if (!w) return;
    m_open.insert(screen, addChild(w));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    runShowSteps();
}

void frmMain::runShowSteps()
{
    m_panels[2]->setText(G.WorkDate);
    m_panels[4]->setText(G.LoginName);
    loadBackground();
    stockAlert();
}

bool frmMain::loadBackground()
{
    const QString file = BackgroundFile::path();
    if (QFileInfo::exists(file)) {
        // A damaged file is passed over: the built-in picture is better than no start.
        const PictureIO::Reading picture = PictureIO::read(file);
        if (picture.ok()) {
            m_area->setPicture(QPixmap::fromImage(picture.image), false);
            return true;
        }
    }
    m_area->setPicture(Artwork::background(m_area->viewport()->size()), true);
    return false;
}

void frmMain::stockAlert()
{
    if (G.ShopTX != QLatin1String("True")) return;
    QAction *stock = menuItem(QStringLiteral("商品库存查询 &A"));
    if (!stock || !stock->isVisible()) return;
    bool outside = false;
    try {
        // One live product outside its limits is enough to open the screen.
        outside = DM().rowCount(QStringLiteral("select UKC.ID from UKC INNER JOIN SShop ON UKC.SID=SShop.ID "
                                               "where SShop.theDel=? and ((theCount < theKCMin) or (theCount > theKCMax)) "
                                               "limit 1"),
                                {QString::fromUtf8(Words::No)})
                  > 0;
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    if (!outside || !Screens::has(QStringLiteral("frmKC"))) return;
    QWidget *w = Screens::create(QStringLiteral("frmKC"), m_area);
    if (!w) return;
    // The stock screen shows the rows outside their limits itself (a database
    // error is told there); the filters stay for the user's first query.
    QMetaObject::invokeMethod(w, "showOutOfLimits");
    // Not registered: it stays open beside the next list window.
    addChild(w);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!Msg::ask(this, QStringLiteral("确认要退出 Tavrel进销存软件 吗？  ^_^  "), Msg::appTitle())) {
        event->ignore();
        return;
    }
    event->accept();
    Shell::endProgram();
}
