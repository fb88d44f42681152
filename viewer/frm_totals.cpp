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
    int index = boxIndexOf(watched);
    if (index < 0) return QDialog::eventFilter(watched, event);
    auto box = static_cast<core::TotalsBox>(index);
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus, so that the click does not undo the selection.
        QTimer::singleShot(0, meTotal_[index], &QLineEdit::selectAll);
    } else if (event->type() == QEvent::FocusOut) {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or menu taking the focus for a moment is not leaving the box. Only a
        // box whose text the user changed is recomputed from: the figures the window wrote are
        // rounded, and working back from them would move the others.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            meTotal_[index]->text() != written_[index])
            recompute(box, true);
    } else if (event->type() == QEvent::KeyPress) {
        checkKey(box, static_cast<QKeyEvent*>(event)->text());
    }
    return QDialog::eventFilter(watched, event);
}

void FrmTotals::checkKey(core::TotalsBox box, const QString& typed) {
    // Keys that type no character (arrows, Tab, Enter, Escape, Delete) keep their usual work.
    const char32_t key = typed.isEmpty() ? 0 : typed.toUcs4().value(0);
    if (!QChar::isPrint(key) || core::totalsKeyAccepted(key)) return;
    dialogServices().message(this, QString::fromUtf8(core::kInvalidEntryText.data()), kUntitled,
                             platform::MessageIcon::Exclamation);
    meTotal(box)->setFocus();
}

// Figures the window filled in itself that do not work out leave the other boxes empty rather
// than blaming the user for them.
void FrmTotals::recompute(core::TotalsBox from, bool typed) {
    written_[static_cast<int>(from)] = meTotal(from)->text();
    auto result = core::recomputeTotals(from, meCost_->text().toStdString(),
                                        meTotal(from)->text().toStdString());
    if (!result) {
        if (typed)
            dialogServices().message(this, QString::fromUtf8(core::kDataEntryErrorText.data()),
                                     kUntitled, platform::MessageIcon::Critical);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (!result->boxes[i]) continue;
        written_[i] = QString::fromStdString(*result->boxes[i]);
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
