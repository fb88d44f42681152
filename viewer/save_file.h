#pragma once
// Saving what a window made (a report, a list as CSV) to a file the user picks. The file is
// written whole or not at all: the bytes go to a temporary file beside it, which replaces the
// file only once everything is written, so a failed write leaves no partial file behind and an
// existing file as it was.

#include <QString>
#include <string>

class QWidget;

namespace fennick::viewer {

// Writes `bytes` to `fileName`; false with the reason in `error` when that failed.
bool writeWholeFile(const QString& fileName, const std::string& bytes, QString& error);

struct SaveDialog {
    QString title;         // the dialog's and any message's title
    QString proposedName;  // proposed in the user's home folder
    QString filter;        // e.g. "CSV files (*.csv)"
    QString suffix;        // added to a name typed without one
};

// Asks where to save through the dialog services and writes `bytes` there. Cancel writes
// nothing; a failed write shows the file name and the reason. True when saved.
bool saveThroughDialog(QWidget* parent, const SaveDialog& dialog, const std::string& bytes);

}  // namespace fennick::viewer
