#include "model_tree_view.h"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>

#include "cut_text_tips.h"
#include "menu_key.h"
#include "node_images.h"
#include "shown_text.h"

namespace fennick::viewer {

namespace {

constexpr int kTagRole = Qt::UserRole;
constexpr int kReadableCharacters = 14;
constexpr int kWidestMinimum = 360;  // a very long line name scrolls instead

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
    setItemDelegate(new CutTextTips(this));  // a node cut by the view's edge shows a tip
    fitLineNames();
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current) emit nodeClicked(current);
    });
}

void ModelTreeView::showTree(const core::ModelTreeData& tree) {
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
    if (minimumWidth() > 0) fitLineNames();  // a tree folded away stays folded
}

void ModelTreeView::fitLineNames() {
    const QFontMetrics metrics = fontMetrics();
    int widest = metrics.averageCharWidth() * kReadableCharacters;
    const int around = indentation() + style()->pixelMetric(QStyle::PM_SmallIconSize) +
                       2 * frameWidth() + metrics.averageCharWidth() * 2;
    for (int l = 0; l < topLevelItemCount(); ++l)
        widest = std::max(widest, metrics.horizontalAdvance(topLevelItem(l)->text(0)) + around);
    setMinimumWidth(std::min(widest, kWidestMinimum));
}

QTreeWidgetItem* ModelTreeView::node(const core::TreeSelection& selection) const {
    QTreeWidgetItem* line = topLevelItem(static_cast<int>(selection.line));
    if (!line || !selection.model) return line;
    return line->child(static_cast<int>(*selection.model));
}

void ModelTreeView::selectQuietly(const core::TreeSelection& selection) {
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
// counts as a click: it lists the model's units again, as they now stand on the share. Only
// the left button selects: a right click opens the tree's menu and leaves the selection (and
// the listed model) as they are.
void ModelTreeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        pressedCurrent_ = nullptr;
        return event->accept();
    }
    const QPoint at = event->position().toPoint();
    QTreeWidgetItem* hit = itemAt(at);
    bool onNode = hit && hit == currentItem() && visualItemRect(hit).contains(at);
    pressedCurrent_ = onNode ? hit : nullptr;
    QTreeWidget::mousePressEvent(event);
}

void ModelTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->accept();
    QTreeWidget::mouseReleaseEvent(event);
    QTreeWidgetItem* hit = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && pressedCurrent_ && hit == pressedCurrent_ &&
        hit == currentItem())
        emit nodeClicked(hit);
    pressedCurrent_ = nullptr;
}

void ModelTreeView::keyPressEvent(QKeyEvent* event) {
    if (openMenuFromKey(*this, *event)) return event->accept();
    QTreeWidget::keyPressEvent(event);
}

}  // namespace fennick::viewer
