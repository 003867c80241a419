#include "ui/contract_tree.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QSet>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include "ui/tree_images.h"

namespace quotaplan {
namespace {

constexpr int kKeyRole = Qt::UserRole;
const QString kContractKeyPrefix = QStringLiteral("IDCon");
constexpr int kIndentation = 12;

QString KeyOf(const QTreeWidgetItem* node) { return node->data(0, kKeyRole).toString(); }

QString ContractKey(std::int32_t id) { return kContractKeyPrefix + QString::number(id); }

}  // namespace

ContractTree::ContractTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    // The names take the width the tree has, which grows with the window; no sideways
    // scrolling to find the end of a name.
    header()->setSectionResizeMode(QHeaderView::Stretch);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    // A narrower step per level leaves the names more of the tree's designed width.
    setIndentation(kIndentation);
    connect(this, &QTreeWidget::itemClicked, this, &ContractTree::nodeChosen);
    // Only a financing type changes its image; a contract keeps its own, even when
    // "expand all" (the * key) reaches it.
    connect(this, &QTreeWidget::itemExpanded, this, [](QTreeWidgetItem* item) {
        if (item->parent() == nullptr) item->setIcon(0, TreeImageIcon(TreeImage::ExpandedType));
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* item) {
        if (item->parent() == nullptr) item->setIcon(0, TreeImageIcon(TreeImage::CollapsedType));
    });
}

void ContractTree::Rebuild(const std::vector<TreeType>& types) {
    QSet<QString> open;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isExpanded()) open.insert(KeyOf(topLevelItem(i)));
    }
    const QString chosen = currentItem() != nullptr ? KeyOf(currentItem()) : QString();

    clear();
    const QIcon collapsed = TreeImageIcon(TreeImage::CollapsedType);
    const QIcon contractIcon = TreeImageIcon(TreeImage::Contract);
    QTreeWidgetItem* chosenNode = nullptr;
    for (const TreeType& type : types) {
        const QString description = QString::fromStdString(type.Descrizione);
        auto* typeNode = new QTreeWidgetItem(this, {description});
        typeNode->setData(0, kKeyRole, description);
        typeNode->setIcon(0, collapsed);
        if (description == chosen) chosenNode = typeNode;
        for (const TreeContract& contract : type.contracts) {
            auto* node = new QTreeWidgetItem(typeNode, {QString::fromStdString(contract.DescBene)});
            node->setData(0, kKeyRole, ContractKey(contract.ID));
            node->setIcon(0, contractIcon);
            if (ContractKey(contract.ID) == chosen) chosenNode = node;
        }
        if (open.contains(description)) typeNode->setExpanded(true);
    }
    if (chosenNode != nullptr) setCurrentItem(chosenNode);
}

void ContractTree::SelectContract(std::int32_t id) {
    const QString key = ContractKey(id);
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* type = topLevelItem(i);
        for (int j = 0; j < type->childCount(); ++j) {
            QTreeWidgetItem* node = type->child(j);
            if (KeyOf(node) != key) continue;
            type->setExpanded(true);
            setCurrentItem(node);
            scrollToItem(node);
            return;
        }
    }
    setCurrentItem(nullptr);
}

std::optional<std::int32_t> ContractTree::ContractIdOf(const QTreeWidgetItem* node) {
    if (node == nullptr) return std::nullopt;
    const QString key = KeyOf(node);
    if (key == node->text(0) || !key.startsWith(kContractKeyPrefix)) return std::nullopt;
    bool numeric = false;
    const std::int32_t id = key.mid(kContractKeyPrefix.size()).toInt(&numeric);
    if (!numeric) return std::nullopt;
    return id;
}

QString ContractTree::CutNameTip(const QTreeWidgetItem* node) const {
    if (node == nullptr) return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualItemRect(node);
    option.text = node->text(0);
    option.icon = node->icon(0);
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    const QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    // The style draws the text inside a focus margin on either side.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const bool cut = fontMetrics().horizontalAdvance(option.text) > text.width() - margins;
    return cut ? option.text : QString();
}

void ContractTree::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* node = currentItem();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && node != nullptr) {
        if (node->childCount() > 0) node->setExpanded(!node->isExpanded());
        emit nodeChosen(node);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool ContractTree::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = CutNameTip(itemAt(help->pos()));
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport(), visualItemRect(itemAt(help->pos())));
    }
    return true;
}

}  // namespace quotaplan
