#include "tree_pane.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

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

void TreePane::keepTrees(const core::TreeCacheKey& key) {
    keeping_.reset();
    if (std::optional<std::filesystem::path> folder = core::userCacheFolder())
        keeping_.emplace(Keeping{core::TreeCache(*folder), key});
}

// Reads on the worker; a tree read whole is kept there too, under the filter it was read with.
BackgroundWork::Job TreePane::readJob(std::shared_ptr<core::ModelTreeData> read) const {
    std::optional<Keeping> keeping = keeping_;
    if (keeping) keeping->key.inStockOnly = inStockOnly_;
    return [inStockOnly = inStockOnly_, read, keeping](core::WorkProgress& progress) {
        const platform::LocalDateTime readAt = platform::localNow();
        *read = core::ModelTree(dataStore()).loadtree(inStockOnly, &progress);
        if (keeping) keeping->cache.save(keeping->key, *read, readAt);
    };
}

void TreePane::show(core::ModelTreeData tree) {
    showsKept_ = false;
    tree_ = std::move(tree);
    view_->showTree(tree_);
    view_->expandAll();
}

void TreePane::build(BackgroundWork& work, Built built) {
    auto read = std::make_shared<core::ModelTreeData>();
    work.start(
        JobKind::Tree, readJob(read),
        [this, read, built = std::move(built)](std::exception_ptr failure) {
            if (failure) return built(failure, std::nullopt);
            const std::optional<std::string> kept = currentTag();
            show(std::move(*read));
            if (tree_.cancelled)
                emit outcome(QString("Building the tree was cancelled: it shows the %1 lines read")
                                 .arg(tree_.lines.size()));
            built(nullptr, kept);
        },
        treeStep);
}

void TreePane::buildFromKept(BackgroundWork& work, Built built) {
    std::optional<core::KeptTree> kept;
    if (keeping_) {
        core::TreeCacheKey key = keeping_->key;
        key.inStockOnly = inStockOnly_;
        kept = keeping_->cache.load(key);
    }
    if (!kept) return build(work, std::move(built));
    const QString age =
        QString::fromStdString(core::keptTreeAge(kept->readAt, platform::localNow()));
    show(std::move(kept->tree));
    showsKept_ = true;
    auto read = std::make_shared<core::ModelTreeData>();
    auto job = [job = readJob(read)](core::WorkProgress& progress) {
        // While it waits for the window's work, what it has read is set aside: that work reads
        // the share as it stands now.
        progress.setAroundWait([](const std::function<void()>& wait) {
            auto aside = dataStore().setAside();
            wait();
        });
        job(progress);
    };
    work.startBehind(
        JobKind::Tree, job,
        [this, read, built, age](std::exception_ptr failure) {
            if (failure) {
                emit outcome(QString("%1: checking the server failed").arg(age));
                return built(failure, std::nullopt);
            }
            if (read->cancelled)
                return emit outcome(QString("%1: checking the server was cancelled").arg(age));
            swapIn(std::move(*read));
        },
        [age](const core::ProgressStep&) {
            return QString("%1, checking the server...").arg(age);
        });
    built(nullptr, std::nullopt);
}

void TreePane::swapIn(core::ModelTreeData fresh) {
    const std::optional<std::string> kept = currentTag();
    std::vector<std::string> folded;
    for (int l = 0; l < view_->topLevelItemCount(); ++l)
        if (!view_->topLevelItem(l)->isExpanded())
            folded.push_back(ModelTreeView::tagOf(view_->topLevelItem(l)));
    const int scrolled = view_->verticalScrollBar()->value();
    show(std::move(fresh));
    for (int l = 0; l < view_->topLevelItemCount(); ++l) {
        QTreeWidgetItem* line = view_->topLevelItem(l);
        if (std::find(folded.begin(), folded.end(), ModelTreeView::tagOf(line)) != folded.end())
            line->setExpanded(false);
    }
    view_->verticalScrollBar()->setValue(scrolled);
    const bool found = kept && select(*kept);
    emit freshTreeShown(kept, found);
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
