#include "frm_unit_data.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "core/rtf.h"
#include "core/unit_report.h"
#include "dialog_services.h"
#include "save_file.h"

namespace fennick::viewer {

namespace {

const char* const kFontFamily = "Courier New";
constexpr int kFontPoints = 10;
constexpr int kReportColumns = 80, kReportLines = 35;
const char* const kSaveTitle = "Save Your Data";
const char* const kDiscardQuestion =
    "The report has changes that were not saved or printed. "
    "Close it and lose them?";

// The report as the box shows it: Unicode text with one line end.
QString shownReport(const std::string& report) {
    QString text = QString::fromStdString(core::cp1252ToUtf8(report));
    text.replace("\r\n", "\n");
    return text;
}

// Whether the report's columns line up in `font`: judged by the widths of narrow, wide and
// punctuation characters, since the font's own fixed-pitch flag is not always set on fonts
// that are (and a font substituted for a missing family may be proportional).
bool linesUpColumns(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QChar('M'));
    for (QChar c : QStringLiteral("il.: -0W|"))
        if (metrics.horizontalAdvance(c) != width) return false;
    return width > 0;
}

}  // namespace

// "Courier New" where it (or what the system substitutes for it) lines up; else the system's
// fixed-pitch font; else the first installed family that does.
QFont reportFont(int points) {
    QFont font(kFontFamily, points);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (linesUpColumns(font)) return font;
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fallback.setPointSize(points);
    if (linesUpColumns(fallback)) return fallback;
    for (const QString& family : QFontDatabase::families()) {
        QFont candidate(family, points);
        if (QFontDatabase::isFixedPitch(family) && linesUpColumns(candidate)) return candidate;
    }
    return fallback;
}

FrmUnitData::FrmUnitData(const std::string& report, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Unit data");
    setModal(true);
    build();
    rtb1_->setPlainText(shownReport(report));
    rtb1_->document()->setModified(false);
    fitReport();
}

// The box shows the report's longest line whole, and 35 lines, as far as the screen has room;
// a smaller screen scrolls the rest into view.
void FrmUnitData::fitReport() {
    const QFontMetrics metrics(rtb1_->font());
    int longest = kReportColumns;
    for (const QString& line : rtb1_->toPlainText().split('\n'))
        longest = std::max(longest, static_cast<int>(line.size()));
    const QMargins frame = rtb1_->contentsMargins();
    const int scrollBar = rtb1_->verticalScrollBar()->sizeHint().width();
    const QSize report(metrics.horizontalAdvance(QString(longest + 2, 'M')) + frame.left() +
                           frame.right() + scrollBar,
                       metrics.lineSpacing() * kReportLines);
    rtb1_->setMinimumSize(report / 2);
    QSize wanted = sizeHint() + report - rtb1_->sizeHint();
    if (const QScreen* shown = screen())
        wanted = wanted.boundedTo(shown->availableGeometry().size());
    resize(wanted.expandedTo(minimumSizeHint()));
}

void FrmUnitData::reject() {
    if (rtb1_->document()->isModified() &&
        !dialogServices().askYesNo(this, kDiscardQuestion, windowTitle(),
                                   platform::MessageIcon::Exclamation))
        return;
    QDialog::reject();
}

void FrmUnitData::build() {
    rtb1_ = new QTextEdit(this);
    rtb1_->setObjectName("rtb1");
    rtb1_->setAcceptRichText(false);
    rtb1_->setLineWrapMode(QTextEdit::NoWrap);
    rtb1_->setFont(reportFont(kFontPoints));

    cmdExit_ = new QPushButton("E&xit", this);
    cmdSave_ = new QPushButton("&Save", this);
    cmdSave_->setToolTip("Save to File");
    cmdPrint_ = new QPushButton("&Print", this);
    for (auto* button : {cmdExit_, cmdSave_, cmdPrint_})
        button->setAutoDefault(false);
    connect(cmdExit_, &QPushButton::clicked, this, &FrmUnitData::reject);
    connect(cmdSave_, &QPushButton::clicked, this, &FrmUnitData::save);
    connect(cmdPrint_, &QPushButton::clicked, this, &FrmUnitData::print);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel("Edit if necessary, then Save or Print", this));
    buttons->addStretch();
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdPrint_);
    buttons->addWidget(cmdExit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rtb1_);
    layout->addLayout(buttons);
}

// Cancel saves nothing; a failed save says why and leaves the window open with its text.
void FrmUnitData::save() {
    const std::string document =
        core::rtfDocument(rtb1_->toPlainText().toStdString(), kFontFamily, kFontPoints);
    if (saveThroughDialog(this, {kSaveTitle, "Unitdata.rtf", "Rich Text Format (*.rtf)", "rtf"},
                          document))
        rtb1_->document()->setModified(false);
}

bool FrmUnitData::printOn(QPrinter& printer) const {
    QTextDocument document;
    document.setDefaultFont(reportFont(kFontPoints));
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);  // the 80 columns stay lined up
    document.setDefaultTextOption(option);
    document.setPlainText(rtb1_->toPlainText());
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

// A cancelled print dialog or a failing printer ends the job without a message.
void FrmUnitData::print() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogServices().choosePrinter(this, printer)) return;
    if (printOn(printer)) rtb1_->document()->setModified(false);
}

void showUnitData(QWidget* parent, const std::vector<std::string>& headings,
                  const core::UnitRow& row, const core::NoteGrids& grids) {
    std::string report =
        core::buildUnitReport(headings, row, grids, core::reportDateTime(platform::localNow()));
    FrmUnitData window(report, parent);
    window.exec();
}

}  // namespace fennick::viewer
