// The unit grid's list taken out: "Save List as CSV..." in its menu (Cancel, a write that
// fails, a good save in the order the grid shows) and Ctrl+C on its selected rows, both with
// the cells as the grid shows them under the headings of the columns it shows.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <fstream>

#include "tests/viewer_dialogs/fake_services.h"
#include "viewer/text_grid.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

// The grid as the user sees it: the headings of the shown columns, then the shown rows `rows`
// (top to bottom), cells separated by `separator`, each line ended by `end`.
std::string shownLines(viewer::GridView* grid, const QList<int>& rows, QChar separator,
                       const QString& end) {
    QStringList lines;
    auto line = [&](int row) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                cells << (row < 0 ? grid->headingText(c) : grid->cellText(row, c));
        return cells.join(separator) + end;
    };
    QString text = line(-1);
    for (int row : rows)
        text += line(row);
    return text.toStdString();
}

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class TstGridLists : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        share_ = std::make_unique<GuiShare>(windowData());
        driver_ = std::make_unique<WindowDriver>(*share_);
        QVERIFY(driver_->load());
        driver_->clickNode(driver_->node(0, "M100"));
        QCOMPARE(driver_->grid()->rowCount(), 2);
    }
    void cleanupTestCase() { driver_.reset(); }

    void saveListAsCsv_data() {
        QTest::addColumn<QString>("answer");  // in the temporary folder; "-": Cancel
        QTest::addColumn<bool>("sortDescending");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel") << "-" << false << false;
        QTest::newRow("folder missing") << "none/units.csv" << false << false;
        QTest::newRow("a folder's name") << "taken" << false << false;
        QTest::newRow("saved") << "units.csv" << false << true;
        QTest::newRow("saved as sorted") << "units.csv" << true << true;
    }
    void saveListAsCsv() {
        QFETCH(QString, answer);
        QFETCH(bool, sortDescending);
        QFETCH(bool, saved);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("taken"));
        FakeDialogServices dialogs;
        dialogs.saveAnswer = answer == "-" ? QString() : folder.filePath(answer);
        viewer::GridView* grid = driver_->grid();
        if (sortDescending)  // the unit number column, twice: descending
            for (int i = 0; i < 2; ++i)
                emit grid->horizontalHeader()->sectionClicked(0);
        driver_->part<QAction>("saveListCsv")->trigger();
        const std::string shown = shownLines(grid, {0, 1}, ',', "\r\n");
        if (sortDescending)  // and once more: back to the listed order
            emit grid->horizontalHeader()->sectionClicked(0);

        QCOMPARE(dialogs.saveDialogs.size(), std::size_t{1});
        QCOMPARE(dialogs.messages.size(), saved || answer == "-" ? 0u : 1u);
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        QCOMPARE(left, saved ? QStringList{"units.csv"} : QStringList{});
        if (saved) QCOMPARE(readFile(dialogs.saveAnswer), shown);
    }

    void ctrlCCopiesTheSelectedRows_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("one row") << QList<int>{1};
        QTest::newRow("two rows") << QList<int>{0, 1};
    }
    void ctrlCCopiesTheSelectedRows() {
        QFETCH(QList<int>, rows);
        viewer::GridView* grid = driver_->grid();
        driver_->clickRow("grdUnit", rows.front());
        for (int r = 1; r < rows.size(); ++r) {
            QRect cell = grid->visualRect(grid->model()->index(rows[r], 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        }
        QVERIFY(driver_->idle());
        QApplication::clipboard()->clear();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().toStdString(),
                 shownLines(grid, rows, '\t', "\n"));
        QVERIFY(QApplication::clipboard()->text().contains(rows.front() == 0 ? "U1" : "U2"));
    }

    // Ctrl+C's text goes into spreadsheets as a CSV file does: guarded the same way.
    void ctrlCGuardsCellsLikeCsv_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("copied");
        QTest::newRow("formula") << "=cmd|' /C calc'!A0"
                                 << "'=cmd|' /C calc'!A0";
        QTest::newRow("negative money") << "-1200.00"
                                        << "-1200.00";
        QTest::newRow("at sign") << "@SUM(A1)"
                                 << "'@SUM(A1)";
        QTest::newRow("leading tab") << "\t=1"
                                     << "' =1";
        QTest::newRow("escape and line break") << "R\x1B[2J\r\nx"
                                               << "R[2Jx";
    }
    void ctrlCGuardsCellsLikeCsv() {
        QFETCH(QString, cell);
        QFETCH(QString, copied);
        viewer::TextGrid grid("guarded");
        grid.setHeadings({"Unit", "Engine Id"});
        grid.showRows(std::vector<std::vector<std::string>>{{"U1", cell.toStdString()}});
        grid.selectRowQuietly(0);
        QCOMPARE(grid.selectedRowsText(), "Unit\tEngine Id\nU1\t" + copied + "\n");
    }

  private:
    std::unique_ptr<GuiShare> share_;
    std::unique_ptr<WindowDriver> driver_;
};

QTEST_MAIN(TstGridLists)
#include "tst_grid_lists.moc"
