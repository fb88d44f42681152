#include "save_file.h"

#include <QDir>
#include <QSaveFile>

#include "dialog_services.h"

namespace fennick::viewer {

bool writeWholeFile(const QString& fileName, const std::string& bytes, QString& error) {
    QSaveFile file(fileName);
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size ||
        !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool saveThroughDialog(QWidget* parent, const SaveDialog& dialog, const std::string& bytes) {
    const QString fileName = dialogServices().saveFileName(
        parent, dialog.title, QDir::home().filePath(dialog.proposedName), dialog.filter,
        dialog.suffix);
    if (fileName.isEmpty()) return false;
    QString error;
    if (writeWholeFile(fileName, bytes, error)) return true;
    dialogServices().message(parent, "Could not save " + fileName + "\n" + error, dialog.title,
                             platform::MessageIcon::Critical);
    return false;
}

}  // namespace fennick::viewer
