#pragma once
// The tree of product lines and their models. Every node keeps its tag, the only link back to
// the data: a line node holds the line code, a model node the 30-character line-and-model tag.
// Lines are placed by their position in the built tree, not by name, so two lines of the same
// name each get their own node with their own models.

#include <QTreeWidget>
#include <optional>
#include <string>

#include "core/model_tree.h"

namespace fennick::viewer {

class ModelTreeView : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ModelTreeView(QWidget* parent = nullptr);

    // Replaces every node; no node is current afterwards and nodeClicked is not raised.
    void showTree(const core::ModelTreeData& tree);
    // Makes a node current without raising nodeClicked.
    void selectQuietly(const core::TreeSelection& selection);
    // The tag of the current node, if there is one.
    std::optional<std::string> currentTag() const;
    // The first model node of the tree, if any.
    QTreeWidgetItem* firstModelNode() const;
    static std::string tagOf(const QTreeWidgetItem* node);
    // Makes the view's minimum width that of its widest line name, and never narrower than a
    // readable minimum (done on every new tree).
    void fitLineNames();

  signals:
    // A node was clicked (or made current from the keyboard).
    void nodeClicked(QTreeWidgetItem* node);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTreeWidgetItem* node(const core::TreeSelection& selection) const;

    QTreeWidgetItem* pressedCurrent_ = nullptr;
};

}  // namespace fennick::viewer
