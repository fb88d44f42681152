#include "frm_totals.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "dialog_services.h"

namespace fennick::viewer {

namespace {

const char* const kBoxCaptions[] = {"List Price", "Margin", "Profit"};
const char* const kUntitled = "Fennick";

QString shownCell(const core::UnitRow& row, core::UnitColumn column) {
    return QString::fromStdString(core::cp1252ToUtf8(cellText(row, column)));
}

QPushButton* plainButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);  // Enter in a box must not close the window
    return button;
}

}  // namespace

FrmTotals::FrmTotals(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Totals");
    setModal(true);
    build();
}

void FrmTotals::build() {
    auto* grid = new QGridLayout;
    meCost_ = new QLineEdit(this);
    meCost_->setObjectName("meCost");
    grid->addWidget(new QLabel("Cost", this), 0, 0);
    grid->addWidget(meCost_, 0, 1);
    for (int i = 0; i < 3; ++i) {
        meTotal_[i] = new QLineEdit(this);
        meTotal_[i]->setObjectName(QString("meTotal%1").arg(i));
        meTotal_[i]->installEventFilter(this);
        grid->addWidget(new QLabel(kBoxCaptions[i], this), i + 1, 0);
        grid->addWidget(meTotal_[i], i + 1, 1);
    }
    img1_ = new QLabel(this);
    img1_->setObjectName("img1");
    img1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    img1_->setToolTip("This unit has no cost");
    grid->addWidget(img1_, 0, 2, 2, 1, Qt::AlignCenter);

    cmdCalc_ = plainButton("&Calculator", this);
    cmdOk_ = plainButton("&Done", this);
    connect(cmdCalc_, &QPushButton::clicked, this, [this] {
        if (!startCalculator())
            dialogServices().message(this, QString::fromUtf8(kNoCalculatorText.data()), "Totals",
                                     platform::MessageIcon::Exclamation);
    });
    connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCalc_);
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void FrmTotals::fill(const core::UnitRow& row) {
    meCost_->setText(shownCell(row, core::UnitColumn::Cost));
    meTotal(core::TotalsBox::ListPrice)->setText(shownCell(row, core::UnitColumn::SuggestedList));
}

void FrmTotals::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    img1_->hide();
    meCost_->setFocus();
    recompute(core::TotalsBox::ListPrice, false);
}

int FrmTotals::boxIndexOf(QObject* watched) const {
    for (int i = 0; i < 3; ++i)
        if (meTotal_[i] == watched) return i;
    return -1;
}

bool FrmTotals::eventFilter(QObject* watched, QEvent* event) {
    const int index = boxIndexOf(watched);
    if (index < 0) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus, so that the click does not undo the selection.
        QTimer::singleShot(0, meTotal_[index], &QLineEdit::selectAll);
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or menu taking the focus for a moment is not leaving the box, nor is
        // the window closing.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isVisible())
            entered(index);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            entered(index);
            meTotal_[index]->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Only a box whose text the user changed is recomputed from: the figures the window wrote are
// rounded, and working back from them would move the others. A text already reported is not
// reported again until it changes.
void FrmTotals::entered(int index) {
    if (meTotal_[index]->text() != written_[index])
        recompute(static_cast<core::TotalsBox>(index), true);
}

// Figures the window filled in itself that do not work out leave the other boxes empty rather
// than blaming the user for them. A typed entry that does not work out is reported once and
// the box keeps it, selected, for the user to correct.
void FrmTotals::recompute(core::TotalsBox from, bool typed) {
    const int index = static_cast<int>(from);
    written_[index] = meTotal_[index]->text();
    auto result = core::recomputeTotals(from, meCost_->text().toStdString(),
                                        meTotal_[index]->text().toStdString());
    if (!result) {
        if (!typed) return;
        dialogServices().message(this, QString::fromUtf8(core::kDataEntryErrorText.data()),
                                 kUntitled, platform::MessageIcon::Critical);
        meTotal_[index]->setFocus(Qt::OtherFocusReason);
        meTotal_[index]->selectAll();
        return;
    }
    for (int i = 0; i < 3; ++i) {
        written_[i] = QString::fromStdString(result->boxes[i]);
        meTotal_[i]->setText(written_[i]);
    }
    if (result->costIsZero) img1_->show();
}

void showTotals(QWidget* parent, const core::UnitRow& row) {
    if (!parent) {
        FrmTotals window;
        window.fill(row);
        window.exec();
        return;
    }
    auto* window = parent->findChild<FrmTotals*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new FrmTotals(parent);
    window->fill(row);
    window->exec();
}

bool startCalculator() {
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty()) return dialogServices().startProgram(program, {});
    }
    return false;
}

}  // namespace fennick::viewer
