#pragma once
// Pictures the program draws itself: toolbar pictures, the built-in background
// of the main window and the login banner. Nothing is loaded from outside.
#include <QPixmap>

namespace Artwork {

enum class Tool {
    PurchaseIn, PurchaseReturn, SalesOut, SalesReturn, ProductEntry, Transfer, Loss, Overage,
    Assembly, Receivable, Payable, Stock, Help, Exit
};

// A 32 × 32 toolbar picture.
QPixmap toolPicture(Tool tool);
// The background shown when there is no bj.jpg.
QPixmap background(const QSize &size);
// The banner across the top of the login window.
QPixmap loginBanner(const QSize &size);

} // namespace Artwork
