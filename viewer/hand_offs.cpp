#include "hand_offs.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "dialog_services.h"
#include "frm_export.h"
#include "viewer/core/export_file.h"
#include "viewer/core/quick_payment.h"

namespace fennick::viewer {

namespace {

QString exportTitle() {
    return QString::fromUtf8(kExportTitle.data(), kExportTitle.size());
}

// Writes a short-record export; asks whether to leave the viewer once it is written.
bool writeShortRecords(QWidget* parent, const InvoiceHandOff& handOff, bool wholePickList) {
    const ExportTarget target = exportTarget(handOff.system);
    try {
        if (!handOff.share) throw EngineError(err::kShare, "Add to Invoice", "No share");
        std::string bytes =
            wholePickList ? pickListExport(handOff.pickList) : singleUnitExport(handOff.currentRow);
        writeExportFile(*handOff.share, target, bytes);
    } catch (const std::exception& failure) {
        dialogServices().message(parent, messageText(exportFailureText(failure, target.path)),
                                 exportTitle(), platform::MessageIcon::Critical);
        return false;
    }
    std::string_view question = wholePickList ? kPickListQuestion : kSingleUnitQuestion;
    return dialogServices().askYesNo(parent, QString::fromUtf8(question.data(), question.size()),
                                     exportTitle(), platform::MessageIcon::Information);
}

}  // namespace

bool addToInvoice(QWidget* parent, const InvoiceHandOff& handOff) {
    switch (exportWay(handOff.fromPointOfSale, handOff.pickListUsed)) {
        case ExportWay::EditingWindow:
            if (!handOff.share) return false;  // nothing to write to: nothing to hand over
            showExportEditor(parent, handOff.pickList, *handOff.share,
                             exportTarget(handOff.system));
            return true;
        case ExportWay::SingleUnit:
            return writeShortRecords(parent, handOff, false);
        case ExportWay::PickList:
            return writeShortRecords(parent, handOff, true);
    }
    return false;
}

QString quickPaymentProgram(SettingsStore& settings) {
    std::string setting = settings.value(std::string(kQuickPaymentSettingKey), "");
    return QString::fromStdString(quickPaymentProgram(setting));
}

void quickPayment(QWidget* parent, const UnitRow& row, const QString& program) {
    try {
        std::string amount = quickPaymentAmount(row.suggestedList);
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
        std::string text = quickPaymentFailureText(failure);
        if (!text.ends_with("\r\n")) text += "\r\n";
        text += program.toStdString();
        dialogServices().message(parent, messageText(text),
                                 QString::fromUtf8(kQuickPaymentTitle.data()),
                                 platform::MessageIcon::Critical);
    }
}

}  // namespace fennick::viewer
