#pragma once
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TIniData;
}

namespace prolis {

class DigitMask;

// The connection settings dialog.
class TIniData : public QDialog {
    Q_OBJECT
public:
    explicit TIniData(QWidget* owner = nullptr);
    ~TIniData() override;

    void FormShow();
    void LoadFieldsFromFile();
    void UlozitClick();
    void UkoncitClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<Ui::TIniData> m_ui;
    DigitMask* m_portMask;
};

// The open settings dialog, while one exists.

// Reads the settings file and runs `askPassword`, or says that it could not
// be loaded (a missing file keeps the values; one that cannot be read clears
// all five).
void loadConnectionSettings(const std::function<void()>& askPassword);

} // namespace prolis
