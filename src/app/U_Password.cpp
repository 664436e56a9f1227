#include "U_Password.h"

#include "db/ConnectionSettings.h"
#include "ui_U_Password.h"
#include "widgets/Glyphs.h"
#include "widgets/Pictures.h"
#include "widgets/UiServices.h"

#include <QKeyEvent>
#include <QProxyStyle>

namespace prolis {

namespace {
class HashPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) return '#';
        if (hint == QStyle::SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TPassword::TPassword(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::TPassword>()) {
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(size());
    centerOnScreen(this);
    auto* style = new HashPasswordStyle;
    style->setParent(m_ui->Password);
    m_ui->Password->setStyle(style);
    m_ui->Password->setEchoMode(QLineEdit::Password);
    connect(m_ui->OKBtn, &QPushButton::clicked, this, [this] { guarded([this] { OKBtnClick(); }); });
    connect(m_ui->CancelBtn, &QPushButton::clicked, this, [this] { guarded([this] { CancelBtnClick(); }); });
}

TPassword::~TPassword() = default;

void TPassword::OKBtnClick() {
    connectionSettings().Password = m_ui->Password->text();
    accept();
}

void TPassword::CancelBtnClick() {
    connectionSettings().Password.clear();
    showMessage(MsgNoPassword);
    reject();
}

void TPassword::keyPressEvent(QKeyEvent* e) {
    // Esc is the Cancel button; the close box closes without either handler.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        m_ui->CancelBtn->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace prolis
