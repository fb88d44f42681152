#include "finder_pane.h"

#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>

#include "background_work.h"
#include "core/cp1252.h"
#include "data_store.h"
#include "engine/codec.h"
#include "shown_text.h"
#include "unit_finder.h"

namespace fennick::viewer {

namespace {

constexpr std::size_t kShownMatches = 50;

// The search text as the dealer's bytes; none when it holds a character the dealer's code page
// lacks, which no unit number or serial can contain.
std::optional<std::string> dealerBytes(const QString& text) {
    std::string bytes;
    for (char32_t c : core::utf8CodePoints(text.toStdString())) {
        std::optional<unsigned char> byte = core::cp1252ByteOf(c);
        if (!byte) return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

QString matchNote(const QString& text, std::size_t total, std::size_t shown, bool treeBeingRead) {
    if (total == 0)
        return QString("No unit or serial number contains \"%1\"%2")
            .arg(text.trimmed(), treeBeingRead ? QString(" (the tree is still being read)") : "");
    if (total > shown)
        return QString("%1 more: type more of the number to narrow the list").arg(total - shown);
    return QString();
}

}  // namespace

FinderPane::FinderPane(BackgroundWork& work, QWidget* window, QWidget* parent)
    : QWidget(parent), work_(work), field_(new UnitFinder(window, this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(field_);
    setFocusProxy(field_);
    connect(field_, &UnitFinder::textSettled, this, &FinderPane::search);
    connect(field_, &UnitFinder::picked, this, &FinderPane::pick);
    connect(field_, &UnitFinder::dropDownClosed, this, &FinderPane::stopStockCheck);
    connect(field_, &UnitFinder::escaped, this, &FinderPane::escaped);
}

void FinderPane::searchIn(const core::ModelTreeData& tree) {
    tree_ = &tree;
}

void FinderPane::focusField() {
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FinderPane::search(const QString& text) {
    const std::optional<std::string> needle = dealerBytes(text);
    std::vector<const core::DirectoryEntry*> all;
    if (needle && tree_) all = core::matchingEntries(tree_->directory, *needle);
    const std::size_t shown = std::min(all.size(), kShownMatches);
    ++generation_;
    text_ = needle.value_or(std::string());
    entries_.clear();
    std::vector<UnitFinder::Line> lines;
    for (std::size_t i = 0; i < shown; ++i) {
        const core::DirectoryEntry& entry = *all[i];
        entries_.push_back(entry);
        lines.push_back({shownText(entry.unit), shownText(entry.serial),
                         shownText(codec::trun(entry.lineCode)),
                         shownText(codec::trun(entry.model))});
    }
    unchecked_ = shown > 0;
    field_->showMatches(lines, matchNote(text, all.size(), shown, work_.busyWith(JobKind::Tree)));
    if (shown == 0) return stopStockCheck();
    checkStock();
}

void FinderPane::checkStock() {
    if (!unchecked_ || !field_->dropDownShown()) return;
    if (work_.busy() && !work_.busyWith(JobKind::Search)) return;
    auto checked = std::make_shared<std::vector<core::UnitMatch>>();
    work_.start(
        JobKind::Search,
        [entries = entries_, text = text_, checked](core::WorkProgress& progress) {
            *checked = core::findUnits(dataStore(), entries, text, SIZE_MAX, &progress);
        },
        [this, generation = generation_, checked](std::exception_ptr failure) {
            stockChecked(generation, *checked, failure);
        },
        [](const core::ProgressStep& step) {
            return QString("Finding units: checking model %1").arg(shownText(step.text));
        });
}

// The check ended, cancelled or not: the matches it worked out (the first ones, since every
// entry checked matches the text) show their stock, the rest stays unknown.
void FinderPane::stockChecked(std::uint64_t generation, const std::vector<core::UnitMatch>& checked,
                              std::exception_ptr failure) {
    if (generation != generation_) return;
    unchecked_ = false;
    std::vector<bool> listed;
    for (std::size_t i = 0; i < checked.size() && i < entries_.size(); ++i)
        listed.push_back(checked[i].listed);
    field_->showListed(listed);
    if (!failure) return;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        field_->showNote(QString("The stock could not be checked: %1")
                             .arg(QString::fromStdString(error.what())));
    }
}

void FinderPane::stopStockCheck() {
    if (work_.busyWith(JobKind::Search)) work_.cancel();
}

void FinderPane::pick(int line) {
    if (line < 0 || line >= static_cast<int>(entries_.size())) return;
    const core::DirectoryEntry entry = entries_[static_cast<std::size_t>(line)];
    emit picked(entry);
}

}  // namespace fennick::viewer
