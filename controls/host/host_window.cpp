#include "host_window.h"

#include <QCloseEvent>
#include <QSettings>
#include <QTimer>

#include "control_container.h"
#include "property_bag.h"
#include "ui_host_window.h"

namespace {

constexpr char kPrompterGroup[] = "glintbar";
constexpr char kPickGroup[] = "chkvPick";

}  // namespace

HostWindow::HostWindow(QSettings* settings, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::HostWindow>()), settings_(settings) {
    ui_->setupUi(this);
    ui_->cboModel->addItems({"T-410 loader", "R-22 mower", "M-7 tractor"});
    fillGrid(ui_->g_POS, {"Unit", "Description", "Price"},
             {{"U1001", "Loader, cab", "42500.00"}, {"U1002", "Mower deck", "3150.00"}});
    fillGrid(ui_->grdOptions, {"Option", "Price"}, {{"Snow blade", "1200.00"}});
    loadProperties();

    connect(ui_->cmdPick, &QPushButton::clicked, this,
            [this] { ui_->chkvPick->setChecked(!ui_->chkvPick->isChecked()); });
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* status = new QTimer(this);
    connect(status, &QTimer::timeout, this, &HostWindow::showActiveControl);
    status->start(Glintbar::kTickMilliseconds);
}

HostWindow::~HostWindow() = default;

void HostWindow::closeEvent(QCloseEvent* event) {
    saveProperties();
    event->accept();
}

void HostWindow::loadProperties() {
    ui_->chkvPick->setToolTipText(tr("Set by the Toggle pick list button"));
    if (!settings_ || !settings_->childGroups().contains(kPrompterGroup)) {
        ui_->glintbar->initProperties();
        return;
    }
    ui_->glintbar->readProperties(vglintbar::SettingsPropertyBag(*settings_, kPrompterGroup));
    ui_->chkvPick->readProperties(vglintbar::SettingsPropertyBag(*settings_, kPickGroup));
}

void HostWindow::saveProperties() {
    if (!settings_) return;
    vglintbar::SettingsPropertyBag prompter(*settings_, kPrompterGroup);
    ui_->glintbar->writeProperties(prompter);
    vglintbar::SettingsPropertyBag pick(*settings_, kPickGroup);
    ui_->chkvPick->writeProperties(pick);
    settings_->sync();
}

void HostWindow::showActiveControl() {
    const QWidget* active = vglintbar::activeControl(this);
    ui_->lblStatus->setText(active ? QStringLiteral("%1 %2").arg(vglintbar::controlTypeName(active),
                                                                 active->objectName())
                                   : tr("no active control"));
}

void HostWindow::fillGrid(QTableWidget* grid, const QStringList& headings,
                          const QList<QStringList>& rows) {
    grid->setColumnCount(headings.size());
    grid->setHorizontalHeaderLabels(headings);
    grid->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column) {
            grid->setItem(row, column, new QTableWidgetItem(rows[row][column]));
        }
    }
}
