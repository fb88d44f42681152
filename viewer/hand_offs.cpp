#include "hand_offs.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "background_work.h"
#include "core/export_file.h"
#include "core/quick_payment.h"
#include "dialog_services.h"
#include "frm_export.h"

namespace fennick::viewer {

namespace {

QString exportTitle() {
    return QString::fromUtf8(core::kExportTitle.data(), core::kExportTitle.size());
}

void showExportFailure(QWidget* parent, const std::exception& failure,
                       const core::ExportTarget& target) {
    dialogServices().message(parent, messageText(core::exportFailureText(failure, target.path)),
                             exportTitle(), platform::MessageIcon::Critical);
}

// Writes the file's bytes on `work`, then hands over the failure or null.
ExportWriter writerOn(BackgroundWork& work, platform::FileSystem& share,
                      const core::ExportTarget& target) {
    return [&work, &share, target](std::string bytes,
                                   std::function<void(std::exception_ptr)> written) {
        work.start(
            JobKind::HandOff,
            [&share, target, bytes = std::move(bytes)](core::WorkProgress&) {
                core::writeExportFile(share, target, bytes);
            },
            std::move(written),
            [](const core::ProgressStep&) { return QString("Writing the export file"); });
    };
}

// Writes a short-record export; asks whether to leave the viewer once it is written.
void writeShortRecords(QWidget* parent, BackgroundWork& work, const InvoiceHandOff& handOff,
                       bool wholePickList, std::function<void()> leave) {
    const core::ExportTarget target = core::exportTarget(handOff.system);
    std::string bytes;
    try {
        if (!handOff.share) throw EngineError(err::kShare, "Add to Invoice", "No share");
        bytes = wholePickList ? core::pickListExport(handOff.pickList)
                              : core::singleUnitExport(handOff.currentRow);
    } catch (const std::exception& failure) {
        return showExportFailure(parent, failure, target);
    }
    auto written = [parent, target, wholePickList, leave](std::exception_ptr failure) {
        try {
            if (failure) std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            return showExportFailure(parent, error, target);
        }
        std::string_view question =
            wholePickList ? core::kPickListQuestion : core::kSingleUnitQuestion;
        if (dialogServices().askYesNo(parent, QString::fromUtf8(question.data(), question.size()),
                                      exportTitle(), platform::MessageIcon::Information))
            leave();
    };
    writerOn(work, *handOff.share, target)(std::move(bytes), written);
}

}  // namespace

void addToInvoice(QWidget* parent, BackgroundWork& work, const InvoiceHandOff& handOff,
                  std::function<void()> leave) {
    switch (core::exportWay(handOff.fromPointOfSale, handOff.pickListUsed)) {
        case core::ExportWay::EditingWindow:
            if (!handOff.share) return;  // nothing to write to: nothing to hand over
            showExportEditor(parent, handOff.pickList,
                             writerOn(work, *handOff.share, core::exportTarget(handOff.system)),
                             core::exportTarget(handOff.system));
            return leave();
        case core::ExportWay::SingleUnit:
            return writeShortRecords(parent, work, handOff, false, std::move(leave));
        case core::ExportWay::PickList:
            return writeShortRecords(parent, work, handOff, true, std::move(leave));
    }
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
