#pragma once
// Products (SShop): entry, change, the duplicate rule, deletion by marking,
// input code and discount changes. Plain functions on the data module; the
// product screens gather the fields and show what these return.
#include "data/money.h"

#include <QString>
#include <QVariantList>
#include <QVector>

class frmDM;

// The fields of the product entry screens, as typed.
struct ProductInput {
    QString num;      // 商品编码
    QString type;     // 商品分类 (may be empty)
    QString name;     // 商品名称
    QString stand;    // 规格
    QString unit;     // 单位
    QString jh;       // 采购单价
    QString xs;       // 销售单价
    QString remark;   // 备注
    QString kcMin;    // 最低库存 (empty = 0)
    QString kcMax;    // 最高库存 (empty = 0)
    // The code the screen proposed for a new product (NewSPNum), empty when
    // none: while `num` is still that code, the save numbers the product itself.
    QString proposedNum;
};

enum class ProductField { None, Num, Name, Unit, JH, XS, KCMin, KCMax };

struct ProductSaveResult {
    // NotNumber: a price or limit that its rule refuses (not a number, negative,
    // too many decimals, beyond the range); the message names the field.
    // CodeTaken: a typed code another live product has; the message names it.
    enum Status { Invalid, NotNumber, Duplicate, CodeTaken, Saved } status = Invalid;
    ProductField field = ProductField::None; // the field to put the cursor in
    QString message;                         // the text to show (empty when saved)
    int id = 0;                              // the product's ID when saved
    QString num;                             // the code saved (see saveProduct)
};

// Saves a new product (id 0) or changes product `id`, in one transaction:
// required fields in the order code, name, unit, purchase price, sales price;
// prices (0 to Money's largest value) and stock limits (quantities, empty = 0)
// are read by their rules (data/numinput.h) before anything is written; a new product may not repeat a live one
// with the same name, size (规格), unit, category and code. The input code is
// computed from the name and the discount taken from the category on every save,
// so a change replaces a hand-made code or discount.
// The code: a new product still carrying the proposed code keeps it while no
// product has it, else takes the next free product number (another seat may
// have saved a product under it since it was proposed); the code given is in
// the result. A code typed by hand that a live product other than this one
// already has is refused naming that product; a change keeping the product's
// own code is never refused for it. Both are decided under the books' write
// lock, so two seats cannot give one code twice. Throws DbError.
ProductSaveResult saveProduct(frmDM &dm, int id, const ProductInput &in);

// One product as the change screen shows it.
struct ProductRecord {
    int id = 0;
    ProductInput input;
    QString py;
    int zk = 100;
    QString state;
    bool found = false;
};
ProductRecord readProduct(frmDM &dm, int id);

// A product that ever had a stock row in any warehouse, whatever the quantity.
bool productHasStock(frmDM &dm, int id);
// Marks the product deleted; the row stays for the documents that name it.
void deleteProduct(frmDM &dm, int id);
// Stores a hand-made input code exactly as typed.
void setProductPY(frmDM &dm, int id, const QString &py);
// One product's discount.
void setProductDiscount(frmDM &dm, int id, int zk);
// A category's discount and that of every product in it (deleted ones too).
void setCategoryDiscount(frmDM &dm, int categoryId, const QString &category, int zk);
