#pragma once
// The finder above the tree: its search field and drop-down (UnitFinder), the matches of the
// text typed, taken at once from the directory the tree build keeps (no reading), and their
// stock. Whether each is in stock takes the unit lists of their models, which are read on the
// window's worker only while it is free and the drop-down is open, and give way to anything
// the user asks of the window. A pick is reported with the directory entry picked.

#include <QWidget>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "core/model_tree.h"
#include "core/unit_search.h"

namespace fennick::viewer {

class BackgroundWork;
class UnitFinder;

class FinderPane : public QWidget {
    Q_OBJECT

  public:
    // The drop-down is laid over `window`.
    FinderPane(BackgroundWork& work, QWidget* window, QWidget* parent);

    // The tree whose directory the matches come from; it must outlive the finder.
    void searchIn(const core::ModelTreeData& tree);
    // Ctrl+F: the keyboard to the field, its text selected.
    void focusField();
    UnitFinder* field() const { return field_; }

  public slots:
    // Starts the stock check of the matches shown (one action: the sales in progress are read
    // once for all their models), unless other work has the worker: then the window calls
    // again once that work has ended. A check under way for older matches is dropped.
    void checkStock();

  signals:
    void picked(const core::DirectoryEntry& entry);
    // Escape in the field: the keyboard goes back to the tree.
    void escaped();

  private:
    void search(const QString& text);
    void stockChecked(std::uint64_t generation, const std::vector<core::UnitMatch>& checked,
                      std::exception_ptr failure);
    void stopStockCheck();
    void pick(int line);

    BackgroundWork& work_;
    UnitFinder* field_;
    const core::ModelTreeData* tree_ = nullptr;
    // The matches the drop-down shows for the text searched. `unchecked`: the stock check has
    // not ended for them (it waits while other work runs).
    std::string text_;
    std::vector<core::DirectoryEntry> entries_;
    std::uint64_t generation_ = 0;
    bool unchecked_ = false;
};

}  // namespace fennick::viewer
