#include "tree_pane.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>
#include <memory>

#include "background_work.h"
#include "data_store.h"
#include "engine/codec.h"
#include "model_tree_view.h"
#include "shown_text.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

QString treeStep(const core::ProgressStep& step) {
    return QString("Reading line %1").arg(shownText(codec::trun(step.text)));
}

}  // namespace

TreePane::TreePane(QWidget* above, QWidget* parent) : QWidget(parent) {
    setObjectName("treePane");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(twipsToPixels(30, this));
    column->addWidget(above);
    view_ = new ModelTreeView(this);
    column->addWidget(view_, 1);
    buildMenu();
    connect(view_, &ModelTreeView::nodeClicked, this,
            [this](QTreeWidgetItem* node) { emit nodeClicked(ModelTreeView::tagOf(node)); });
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(view_->viewport()->mapToGlobal(at)); });
}

// Collapse All, Expand All, the filter, Refresh and Stock Ageing..., in the design's places.
void TreePane::buildMenu() {
    menu_ = new QMenu("Tree", this);
    menu_->setObjectName("mnuTree");
    connect(menu_->addAction("Collapse All"), &QAction::triggered, view_,
            &ModelTreeView::collapseAll);
    connect(menu_->addAction("Expand All"), &QAction::triggered, view_, &ModelTreeView::expandAll);
    menu_->addSeparator();
    filter_ = menu_->addAction("Display only models with units in stock");
    filter_->setCheckable(true);
    connect(filter_, &QAction::triggered, this, [this] {
        setInStockOnly(!inStockOnly_);
        emit filterSwitched();
    });
    menu_->addSeparator();
    refresh_ = menu_->addAction("Refresh");
    refresh_->setObjectName("refresh");
    refresh_->setShortcut(Qt::Key_F5);
    menu_->addSeparator();
    stockAgeing_ = menu_->addAction("Stock Ageing...");
    stockAgeing_->setObjectName("stockAgeing");
    connect(stockAgeing_, &QAction::triggered, this, &TreePane::stockAgeingAsked);
}

void TreePane::build(BackgroundWork& work, Built built) {
    auto read = std::make_shared<core::ModelTreeData>();
    work.start(
        JobKind::Tree,
        [inStockOnly = inStockOnly_, read](core::WorkProgress& progress) {
            *read = core::ModelTree(dataStore()).loadtree(inStockOnly, &progress);
        },
        [this, read, built = std::move(built)](std::exception_ptr failure) {
            if (failure) return built(failure, std::nullopt);
            const std::optional<std::string> kept = currentTag();
            tree_ = std::move(*read);
            view_->showTree(tree_);
            view_->expandAll();
            if (tree_.cancelled)
                emit outcome(QString("Building the tree was cancelled: it shows the %1 lines read")
                                 .arg(tree_.lines.size()));
            built(nullptr, kept);
        },
        treeStep);
}

bool TreePane::select(const std::string& tag) {
    const std::optional<core::TreeSelection> node = core::findTag(tree_, tag);
    if (node) view_->selectQuietly(*node);
    return node.has_value();
}

std::optional<std::string> TreePane::currentTag() const {
    return view_->currentTag();
}

void TreePane::selectFirstModel() {
    if (QTreeWidgetItem* model = view_->firstModelNode()) view_->setCurrentItem(model);
}

void TreePane::setInStockOnly(bool inStockOnly) {
    inStockOnly_ = inStockOnly;
    filter_->setChecked(inStockOnly_);
}

}  // namespace fennick::viewer
