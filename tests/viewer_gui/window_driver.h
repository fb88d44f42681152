#pragma once
// Drives a real frmUnits on the offscreen platform: the dealer data the window tests share,
// starting the window, finding its parts by their design names and clicking them as a user.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "gui_share.h"
#include "held_share.h"
#include "platform/latency_file_system.h"
#include "viewer/frm_units.h"
#include "viewer/grid_view.h"

namespace fennick::test_support {

// Lines CTR and CTX share the name "COMPACT TRACTORS"; PRT is not a unit line. Model M100
// lists U1 (notes, cost 1234.50, in stock ten days) and U2; U3 is sold. M200 holds only a unit
// on a sold invoice. FILE0 names three user-defined fields and leaves the second blank.
demo::DealerData windowData();

class WindowDriver {
  public:
    // With `slow`, the window reads the share through a file system that adds a
    // latency to every call (none at first). The window keeps its trees in `cacheHome` (as
    // $XDG_CACHE_HOME); empty: a folder of the driver's own, so that each case starts afresh.
    explicit WindowDriver(const GuiShare& share, std::string commandLine = "", bool slow = false,
                          const QString& cacheHome = QString());

    // Runs the start-up and waits for the tree; false when the window asked the program to end.
    bool load();
    // Waits until the window has built its tree and listed its model.
    bool idle() { return window_->waitUntilIdle(kIdleTimeoutMs); }
    static constexpr int kIdleTimeoutMs = 20000;
    viewer::FrmUnits& window() { return *window_; }

    template <class T = QWidget>
    T* part(const char* name) {
        T* found = window_->findChild<T*>(name);
        if (!found) qWarning("no part named %s", name);
        return found;
    }
    viewer::GridView* grid(const char* name = "grdUnit") { return part<viewer::GridView>(name); }
    QTreeWidget* tree() { return part<QTreeWidget>("tv1"); }
    QString label(const char* name) { return part<QLabel>(name)->text(); }
    QString detail(int k) { return label(QString("lblDetail_%1").arg(k).toUtf8().constData()); }
    bool enabled(const char* button) { return part<QPushButton>(button)->isEnabled(); }
    QAction* menuItem(const char* menu, int index);

    // The node of `text` under the line node number `line` (top-level order); the line node
    // itself when `text` is empty.
    QTreeWidgetItem* node(int line, const QString& text = QString());
    // Clicks a node and, unless told not to, waits for the listing it starts.
    void clickNode(QTreeWidgetItem* node, bool wait = true);
    // Clicks a row and, unless told not to, waits for the unit it shows.
    void clickRow(const char* gridName, int row, bool wait = true);
    void click(const char* button) { QTest::mouseClick(part<QPushButton>(button), Qt::LeftButton); }
    // Makes `row` current without a selection event, as a grid left alone keeps it.
    void moveQuietly(const char* gridName, int row);
    QStringList column(const char* gridName, int column);
    // The strip of the status bar that shows long work, and its Cancel button.
    QString workText();
    QPushButton* cancelButton() { return part<QPushButton>("cmdCancelWork"); }

    MemorySettings settings;
    MemorySettings windowSettings;  // the window's kept place, splitters and column widths
    MessageRecorder messages;
    platform::LatencyFileSystem* slowShare = nullptr;  // with `slow`, once loaded
    HeldFileSystem* heldShare = nullptr;               // once loaded
    bool holdFromStart = false;  // the share is held from its opening (see HeldFileSystem)

  private:
    std::unique_ptr<QTemporaryDir> ownCache_;
    std::unique_ptr<viewer::FrmUnits> window_;
};

}  // namespace fennick::test_support
