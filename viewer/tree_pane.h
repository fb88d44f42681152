#pragma once
// The left pane: the finder's field above the model tree, the tree's pop-up menu and the tree
// it shows. It builds the tree on the window's worker (only the models with units in stock
// while the menu's filter is on) and reports a click on a node by the node's tag. Every tree
// it builds is kept in the user's cache for the share, company and filter, so that the start
// shows the last one at once while the fresh one is read behind the window's work.

#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "background_work.h"
#include "core/model_tree.h"
#include "core/tree_cache.h"

class QAction;
class QMenu;

namespace fennick::viewer {

class ModelTreeView;

class TreePane : public QWidget {
    Q_OBJECT

  public:
    // Hands over a finished build: its failure, or null and the tag of the node that was
    // selected in the tree it replaced.
    using Built = std::function<void(std::exception_ptr, const std::optional<std::string>&)>;

    // `above` (the finder's field) stands above the tree.
    TreePane(QWidget* above, QWidget* parent);

    ModelTreeView* view() const { return view_; }
    const core::ModelTreeData& tree() const { return tree_; }
    // Builds the tree on `work`, then shows it expanded and hands over. A cancelled build shows
    // the lines read until then and says so (outcome); a failed one leaves the tree as it was.
    void build(BackgroundWork& work, Built built);
    // The start: the tree kept for the filter shows at once and `built` runs as after a build;
    // the fresh tree is read behind the window's work and replaces it (freshTreeShown), unless
    // the read fails, which goes to `built` while the kept tree stays, said to be old. With no
    // tree kept, the same as build().
    void buildFromKept(BackgroundWork& work, Built built);
    // The tree shown is the kept one: the fresh tree has not replaced it.
    bool showsKeptTree() const { return showsKept_; }
    // Where the trees of this share and company are kept (the filter completes the key); until
    // then none are.
    void keepTrees(const core::TreeCacheKey& key);
    // Selects the node of `tag` without raising nodeClicked; false when the tree has none.
    bool select(const std::string& tag);
    std::optional<std::string> currentTag() const;
    // Clicks the first model node, as a user would (no-op without models).
    void selectFirstModel();

    bool inStockOnly() const { return inStockOnly_; }
    void setInStockOnly(bool inStockOnly);
    // F5 and the menu's "Refresh"; the window adds it so that the key works everywhere.
    QAction* refreshAction() const { return refresh_; }

  signals:
    void nodeClicked(const std::string& tag);
    // The menu's filter was switched (inStockOnly() tells which way).
    void filterSwitched();
    void stockAgeingAsked();
    // What the window should show once the work has ended (a cancelled build).
    void outcome(const QString& text);
    // The fresh tree replaced the kept one; `keptTag`: the node selected before, selected again
    // when the fresh tree has it (`found`).
    void freshTreeShown(const std::optional<std::string>& keptTag, bool found);

  private:
    struct Keeping {
        core::TreeCache cache;
        core::TreeCacheKey key;
    };

    void buildMenu();
    // Reads the tree into `read` and keeps it.
    BackgroundWork::Job readJob(std::shared_ptr<core::ModelTreeData> read) const;
    void show(core::ModelTreeData tree);
    // The fresh tree in place of the kept one, the lines the user folded still folded.
    void swapIn(core::ModelTreeData fresh);

    ModelTreeView* view_;
    QMenu* menu_ = nullptr;
    QAction* filter_ = nullptr;
    QAction* refresh_ = nullptr;
    QAction* stockAgeing_ = nullptr;
    core::ModelTreeData tree_;
    bool inStockOnly_ = false;
    bool showsKept_ = false;
    std::optional<Keeping> keeping_;
};

}  // namespace fennick::viewer
