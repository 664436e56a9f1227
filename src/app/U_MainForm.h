#pragma once
#include <QMainWindow>
#include <memory>

namespace Ui {
class TMainForm;
}

namespace prolis {

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    void FormCreate();
    void VypisClick();
    void EditaceClick();
    void NastaveniDBClick();
    void DopredneClick();
    void ZpetneClick();
    void UlozitVypoctyClick();
    void OtevritVypoctyClick();
    void AboutClick();
    void KonecClick();

private:
    std::unique_ptr<Ui::TMainForm> m_ui;
};

} // namespace prolis
