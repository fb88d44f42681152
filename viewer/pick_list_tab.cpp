#include "pick_list_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "twips.h"

namespace fennick::viewer {

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLabel* totalLabel(const QString& name, QWidget* parent) {
    QLabel* total = label(name, QString(), parent);
    total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    total->setMinimumWidth(twipsToPixels(1400, parent));
    total->setFrameShape(QFrame::StyledPanel);
    return total;
}

}  // namespace

PickListTab::PickListTab(QWidget* parent)
    : QWidget(parent),
      grid_(new UnitGrid("grdPL", this)),
      totalSuggested_(totalLabel("lblpltot_0", this)),
      totalDealer_(totalLabel("lblpltot_1", this)),
      up_(button("cmdItemUp", "&Up", this)),
      down_(button("cmdItemDown", "Do&wn", this)),
      delete_(button("cmdDelPL", "&Delete Item", this)),
      clear_(button("cmdClearPL", "&Clear", this)) {
    up_->setToolTip("Move selected item up");
    down_->setToolTip("Move selected item down");
    delete_->setEnabled(false);
    grid_->freezeFirstColumn();
    grid_->setEmptyText(
        "Add units here with \"Add to Pick List\", or a double-click or Insert on "
        "a unit row");

    auto* controls = new QHBoxLayout;
    controls->addWidget(label("Label3_0", "Order", this));
    controls->addWidget(up_);
    controls->addWidget(down_);
    controls->addSpacing(twipsToPixels(240, this));
    controls->addWidget(delete_);
    controls->addWidget(clear_);
    controls->addStretch(1);
    // The totals stand below the buttons, on the right, so that the tab stays narrow enough
    // for a small screen.
    auto* totals = new QGridLayout;
    totals->setColumnStretch(0, 1);
    totals->addWidget(label("Label3_1", "Total Sugg. List", this), 0, 1, Qt::AlignRight);
    totals->addWidget(totalSuggested_, 0, 2);
    totals->addWidget(label("Label3_2", "Total Dealer List", this), 1, 1, Qt::AlignRight);
    totals->addWidget(totalDealer_, 1, 2);

    auto* page = new QVBoxLayout(this);
    page->addWidget(grid_, 1);
    page->addLayout(controls);
    page->addLayout(totals);

    connect(grid_, &UnitGrid::rowPicked, this, [this] { delete_->setEnabled(true); });
    connect(up_, &QPushButton::clicked, this, &PickListTab::cmdItemUp_Click);
    connect(down_, &QPushButton::clicked, this, &PickListTab::cmdItemDown_Click);
    connect(delete_, &QPushButton::clicked, this, &PickListTab::cmdDelPL_Click);
    connect(clear_, &QPushButton::clicked, this, &PickListTab::cmdClearPL_Click);
    showTotals();
}

void PickListTab::setHeadings(const std::vector<std::string>& headings) {
    grid_->setHeadings(headings);
}

bool PickListTab::add(const core::UnitRow& row) {
    const core::PickList::Added added = list_.add(row);
    if (!added.added) {
        grid_->selectRowQuietly(static_cast<int>(added.row));
        delete_->setEnabled(true);
        return false;
    }
    showRows(grid_->currentDataRow());
    showTotals();
    return true;
}

// Removes the current row; the row that takes its place becomes current, so that repeated
// deletes work down the list.
void PickListTab::cmdDelPL_Click() {
    int current = grid_->currentDataRow();
    if (current < 0 || !list_.remove(static_cast<std::size_t>(current))) return;
    const int left = static_cast<int>(list_.rows().size());
    showRows(left == 0 ? -1 : std::min(current, left - 1));
    if (list_.empty()) delete_->setEnabled(false);
    showTotals();
}

void PickListTab::cmdClearPL_Click() {
    list_.clear();
    showRows(-1);
    showTotals();
    delete_->setEnabled(false);
    emit cleared();
}

void PickListTab::cmdItemUp_Click() {
    move(true);
}

void PickListTab::cmdItemDown_Click() {
    move(false);
}

void PickListTab::move(bool up) {
    int current = grid_->currentDataRow();
    if (current < 0) return;
    auto index = static_cast<std::size_t>(current);
    showRows(static_cast<int>(up ? list_.moveUp(index) : list_.moveDown(index)));
}

void PickListTab::showRows(int current) {
    grid_->showRows(list_.rows());
    if (current >= 0) grid_->selectRowQuietly(current);
}

void PickListTab::showTotals() {
    core::PickListTotals totals = list_.totals();
    totalSuggested_->setText(QString::fromStdString(totals.suggestedList));
    totalDealer_->setText(QString::fromStdString(totals.dealerList));
}

}  // namespace fennick::viewer
