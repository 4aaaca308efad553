#pragma once
// The entry group "往来单位信息" shared by the partner entry screen, its quick
// twin and the read-only card; the two entry screens also share its save.
#include "partners.h"

#include <QGroupBox>

class QComboBox;
class QLineEdit;

class PartnerFields : public QGroupBox {
    Q_OBJECT
public:
    // withType: the partner type drop-down (all SUType names, starting at "两者皆是").
    explicit PartnerFields(bool withType, QWidget *parent = nullptr);

    PartnerInput input() const; // type empty without the drop-down
    void setInput(const PartnerInput &in);
    void setReadOnly(bool on);
    // Saves `in` as partner `id` (0 for a new one). An error or a refusal is
    // shown over `dialog`; a missing or repeated name puts the cursor back in
    // the name. True when saved; `savedId` then holds the partner's ID.
    bool save(QWidget *dialog, int id, const PartnerInput &in, int *savedId = nullptr);

    QLineEdit *name() const { return m_name; }
    QLineEdit *contact() const { return m_pro; }
    QLineEdit *phone() const { return m_pho; }
    QLineEdit *address() const { return m_add; }
    QLineEdit *remark() const { return m_remark; }
    QLineEdit *receivable() const { return m_ys; }
    QLineEdit *payable() const { return m_yf; }
    QComboBox *type() const { return m_type; }

private:
    QLineEdit *m_name, *m_pro, *m_pho, *m_add, *m_remark, *m_ys, *m_yf;
    QComboBox *m_type = nullptr;
};
