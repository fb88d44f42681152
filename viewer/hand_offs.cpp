#include "hand_offs.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "core/export_file.h"
#include "core/quick_payment.h"
#include "dialog_services.h"
#include "frm_export.h"

namespace fennick::viewer {

namespace {

QString exportTitle() {
    return QString::fromUtf8(core::kExportTitle.data(), core::kExportTitle.size());
}

// Writes a short-record export; asks whether to leave the viewer once it is written.
bool writeShortRecords(QWidget* parent, const InvoiceHandOff& handOff, bool wholePickList) {
    const core::ExportTarget target = core::exportTarget(handOff.system);
    try {
        if (!handOff.share) throw EngineError(err::kShare, "Add to Invoice", "No share");
        std::string bytes = wholePickList ? core::pickListExport(handOff.pickList)
                                          : core::singleUnitExport(handOff.currentRow);
        core::writeExportFile(*handOff.share, target, bytes);
    } catch (const std::exception& failure) {
        dialogServices().message(parent, messageText(core::exportFailureText(failure, target.path)),
                                 exportTitle(), platform::MessageIcon::Critical);
        return false;
    }
    std::string_view question = wholePickList ? core::kPickListQuestion : core::kSingleUnitQuestion;
    return dialogServices().askYesNo(parent, QString::fromUtf8(question.data(), question.size()),
                                     exportTitle(), platform::MessageIcon::Information);
}

}  // namespace

bool addToInvoice(QWidget* parent, const InvoiceHandOff& handOff) {
    switch (core::exportWay(handOff.fromPointOfSale, handOff.pickListUsed)) {
        case core::ExportWay::EditingWindow:
            if (!handOff.share) return false;  // nothing to write to: nothing to hand over
            showExportEditor(parent, handOff.pickList, *handOff.share,
                             core::exportTarget(handOff.system));
            return true;
        case core::ExportWay::SingleUnit:
            return writeShortRecords(parent, handOff, false);
        case core::ExportWay::PickList:
            return writeShortRecords(parent, handOff, true);
    }
    return false;
}

QString quickPaymentProgram(core::SettingsStore& settings) {
    std::string setting = settings.value(std::string(core::kQuickPaymentSettingKey), "");
    return QString::fromStdString(core::quickPaymentProgram(setting));
}

void quickPayment(QWidget* parent, const core::UnitRow& row, const QString& program) {
    try {
        std::string amount = core::quickPaymentAmount(row.suggestedList);
        // A bare name is looked for on the PATH; a path is taken as it is.
        QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
        QFileInfo file(path);
        if (path.isEmpty() || !file.isFile())
            throw EngineError(err::kFileNotFound, "qpayment", "File not found");
        if (!file.isExecutable() ||
            !dialogServices().startProgram(path, {QString::fromStdString(amount)}))
            throw EngineError(err::kPathFileAccessError, "qpayment", "Path/File access error");
    } catch (const EngineError& failure) {
        // The message names the program that is missing or would not start.
        std::string text = core::quickPaymentFailureText(failure);
        if (!text.ends_with("\r\n")) text += "\r\n";
        text += program.toStdString();
        dialogServices().message(parent, messageText(text),
                                 QString::fromUtf8(core::kQuickPaymentTitle.data()),
                                 platform::MessageIcon::Critical);
    }
}

}  // namespace fennick::viewer
