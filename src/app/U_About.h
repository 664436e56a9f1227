#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace prolis {

struct SystemFacts;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);
    // With given facts instead of this machine's (tests).
    TAboutBox(const SystemFacts& facts, QWidget* owner = nullptr);
    ~TAboutBox() override;

    void Label2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormCreate(const SystemFacts& facts);
    void fitMachineLines();
    std::unique_ptr<Ui::TAboutBox> m_ui;
};

} // namespace prolis
