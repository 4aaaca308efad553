#include "printops.h"
#include "data/dberror.h"
#include "doclayouts.h"
#include "ui/msg.h"

namespace Print {

bool printDocument(frmDM &dm, DocKind kind, const QString &num, const Target &target)
{
    PrintData data;
    try {
        data = loadPrintData(dm, kind, num);
    } catch (const DbError &e) {
        Msg::error(target.parent(), e.text());
        return false;
    }
    return output(documentTemplate(kind), documentDataSets(data), target);
}

bool PrintIn_CG(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Purchase, num, target); }
bool PrintIn_CT(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::PurchaseReturn, num, target); }
bool PrintIn_FK(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Payment, num, target); }
bool PrintOut_XS(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Sales, num, target); }
bool PrintOut_XS1(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::SalesTicket, num, target); }
bool PrintOut_XT(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::SalesReturn, num, target); }
bool PrintOut_SK(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Receipt, num, target); }
bool PrintDB(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Transfer, num, target); }
bool PrintBS(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Loss, num, target); }
bool PrintBY(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Overage, num, target); }
bool PrintCZ(frmDM &dm, const QString &num, const Target &target) { return printDocument(dm, DocKind::Assembly, num, target); }

} // namespace Print
