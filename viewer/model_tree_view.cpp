#include "model_tree_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "node_images.h"
#include "shown_text.h"

namespace fennick::viewer {

namespace {

constexpr int kTagRole = Qt::UserRole;

// The node shows its text without trailing blanks (model numbers come blank-padded); the tag
// keeps the data as it is.
QTreeWidgetItem* newNode(const std::string& text, const std::string& tag, const QIcon& icon) {
    QString shown = shownText(text);
    while (shown.endsWith(' '))
        shown.chop(1);
    auto* node = new QTreeWidgetItem(QStringList{shown});
    node->setData(0, kTagRole, QByteArray::fromStdString(tag));
    node->setIcon(0, icon);
    return node;
}

}  // namespace

ModelTreeView::ModelTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("tv1");
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Long line names scroll sideways instead of being cut short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current) emit nodeClicked(current);
    });
}

void ModelTreeView::showTree(const ModelTreeData& tree) {
    QSignalBlocker quiet(this);
    pressedCurrent_ = nullptr;
    clear();
    const QIcon lineIcon = lineNodeIcon(), modelIcon = modelNodeIcon();
    QList<QTreeWidgetItem*> lines;
    for (const auto& line : tree.lines) {
        QTreeWidgetItem* lineNode = newNode(line.text, line.tag, lineIcon);
        for (const auto& model : line.models)
            lineNode->addChild(newNode(model.text, model.tag, modelIcon));
        lines << lineNode;
    }
    addTopLevelItems(lines);
    setCurrentItem(nullptr);
}

QTreeWidgetItem* ModelTreeView::node(const TreeSelection& selection) const {
    QTreeWidgetItem* line = topLevelItem(static_cast<int>(selection.line));
    if (!line || !selection.model) return line;
    return line->child(static_cast<int>(*selection.model));
}

void ModelTreeView::selectQuietly(const TreeSelection& selection) {
    QSignalBlocker quiet(this);
    if (QTreeWidgetItem* target = node(selection)) {
        setCurrentItem(target);
        scrollToItem(target);
    }
}

std::optional<std::string> ModelTreeView::currentTag() const {
    if (!currentItem()) return std::nullopt;
    return tagOf(currentItem());
}

QTreeWidgetItem* ModelTreeView::firstModelNode() const {
    for (int l = 0; l < topLevelItemCount(); ++l)
        if (topLevelItem(l)->childCount() > 0) return topLevelItem(l)->child(0);
    return nullptr;
}

std::string ModelTreeView::tagOf(const QTreeWidgetItem* node) {
    return node->data(0, kTagRole).toByteArray().toStdString();
}

// A click on the node that is already current changes nothing in the selection, yet still
// counts as a click: it lists the model's units again, as they now stand on the share.
void ModelTreeView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QTreeWidgetItem* hit = itemAt(at);
    bool onNode = hit && hit == currentItem() && visualItemRect(hit).contains(at);
    pressedCurrent_ = onNode ? hit : nullptr;
    QTreeWidget::mousePressEvent(event);
}

void ModelTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    QTreeWidgetItem* hit = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && pressedCurrent_ && hit == pressedCurrent_ &&
        hit == currentItem())
        emit nodeClicked(hit);
    pressedCurrent_ = nullptr;
}

}  // namespace fennick::viewer
