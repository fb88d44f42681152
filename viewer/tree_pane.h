#pragma once
// The left pane: the finder's field above the model tree, the tree's pop-up menu and the tree
// it shows. It builds the tree on the window's worker (only the models with units in stock
// while the menu's filter is on) and reports a click on a node by the node's tag.

#include <QWidget>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "core/model_tree.h"

class QAction;
class QMenu;

namespace fennick::viewer {

class BackgroundWork;
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

  private:
    void buildMenu();

    ModelTreeView* view_;
    QMenu* menu_ = nullptr;
    QAction* filter_ = nullptr;
    QAction* refresh_ = nullptr;
    QAction* stockAgeing_ = nullptr;
    core::ModelTreeData tree_;
    bool inStockOnly_ = false;
};

}  // namespace fennick::viewer
