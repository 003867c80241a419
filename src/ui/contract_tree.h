#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "data/contract_store.h"

namespace quotaplan {

// tvwContratti: the stored contracts under their financing types. A type node is keyed by
// its description, a contract node "IDCon" and its ID. Rebuilding keeps open the types that
// were open and the chosen node chosen. A click on a node, or Enter on it, chooses it (Enter
// on a type opens or closes it as well). Names take the tree's whole width; one that must
// still be cut shows whole in its tooltip.
class ContractTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ContractTree(QWidget* parent = nullptr);

    // Every node removed and the types with their contracts added in the order given.
    void Rebuild(const std::vector<TreeType>& types);

    // Chooses the node of contract `id`, opening its type and scrolling it into sight; an ID
    // the tree does not show leaves nothing chosen.
    void SelectContract(std::int32_t id);

    // The contract of a node; nothing for a type node (its key equals its text) or a key
    // that is not "IDCon" and a number.
    static std::optional<std::int32_t> ContractIdOf(const QTreeWidgetItem* node);

    // The whole description when the node's name is cut at the tree's edge, else empty.
    QString CutNameTip(const QTreeWidgetItem* node) const;

signals:
    void nodeChosen(QTreeWidgetItem* node);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};

}  // namespace quotaplan
