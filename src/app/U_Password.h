#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TPassword;
}

namespace prolis {

// The database password prompt; every typed character shows as "#".
class TPassword : public QDialog {
    Q_OBJECT
public:
    explicit TPassword(QWidget* owner = nullptr);
    ~TPassword() override;

public slots:
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::unique_ptr<Ui::TPassword> m_ui;
};

} // namespace prolis
