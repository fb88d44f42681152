#pragma once

#include <QWidget>

#include <memory>

class QSettings;
class QTableWidget;

namespace Ui {
class HostWindow;
}

// A data-entry window that carries a Glintbar and a CheckBoxKV. With a settings store the
// controls' properties are loaded on opening and saved on closing.
class HostWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HostWindow(QSettings* settings = nullptr, QWidget* parent = nullptr);
    ~HostWindow() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadProperties();
    void saveProperties();
    void showActiveControl();
    static void fillGrid(QTableWidget* grid, const QStringList& headings,
                         const QList<QStringList>& rows);

    std::unique_ptr<Ui::HostWindow> ui_;
    QSettings* settings_;
};
