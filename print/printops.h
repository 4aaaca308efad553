#pragma once
// The print operations of the documents. Each reads the document with the
// given number and sends it to the target: by default the preview window, for
// the half-page sales ticket the default printer. A number that matches no
// document prints the empty form. Errors are shown to the user; the result is
// false when nothing was printed.
#include "printdata.h"
#include "reportoutput.h"

class frmDM;

namespace Print {

bool printDocument(frmDM &dm, DocKind kind, const QString &num, const Target &target);

bool PrintIn_CG(frmDM &dm, const QString &num, const Target &target = Target::preview());   // purchase receipt
bool PrintIn_CT(frmDM &dm, const QString &num, const Target &target = Target::preview());   // purchase return
bool PrintIn_FK(frmDM &dm, const QString &num, const Target &target = Target::preview());   // payment voucher
bool PrintOut_XS(frmDM &dm, const QString &num, const Target &target = Target::preview());  // sales delivery
bool PrintOut_XS1(frmDM &dm, const QString &num, const Target &target = Target::printer()); // sales ticket
bool PrintOut_XT(frmDM &dm, const QString &num, const Target &target = Target::preview());  // sales return
bool PrintOut_SK(frmDM &dm, const QString &num, const Target &target = Target::preview());  // receipt voucher
bool PrintDB(frmDM &dm, const QString &num, const Target &target = Target::preview());      // transfer
bool PrintBS(frmDM &dm, const QString &num, const Target &target = Target::preview());      // loss
bool PrintBY(frmDM &dm, const QString &num, const Target &target = Target::preview());      // overage
bool PrintCZ(frmDM &dm, const QString &num, const Target &target = Target::preview());      // assembly

} // namespace Print
