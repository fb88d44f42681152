#pragma once
// What the companion windows ask of the desktop: message boxes and Yes/No questions, the save
// and print dialogs, and starting another program. The windows reach it through one process-
// wide object so that tests can answer the questions and record what was shown or started.

#include <QString>
#include <QStringList>

#include "platform/services.h"

class QPrinter;
class QWidget;

namespace fennick::viewer {

class DialogServices {
  public:
    virtual ~DialogServices() = default;
    virtual void message(QWidget* parent, const QString& text, const QString& title,
                         platform::MessageIcon icon) = 0;
    // True for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                          platform::MessageIcon icon) = 0;
    // The file name chosen in a save dialog that proposes `proposedPath`, asks before
    // overwriting and accepts only existing folders; empty when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& proposedPath,
                                 const QString& filter, const QString& defaultSuffix) = 0;
    // Shows the print dialog for `printer`; false when the user cancels.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // Starts `program` with `arguments` as separate arguments, never through a shell, without
    // waiting for it; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

// The real dialogs, message boxes and process start.
class QtDialogServices : public DialogServices {
  public:
    void message(QWidget* parent, const QString& text, const QString& title,
                 platform::MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                  platform::MessageIcon icon) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& proposedPath,
                         const QString& filter, const QString& defaultSuffix) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
};

// The services in use; QtDialogServices until replaced. Setting nullptr restores them.
DialogServices& dialogServices();
void setDialogServices(DialogServices* services);

// Message texts keep CR LF line ends in the core; a message box shows one line end.
QString messageText(const std::string& text);

}  // namespace fennick::viewer
