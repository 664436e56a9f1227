#include "U_VyberMat.h"

#include "core/Errors.h"
#include "core/UiServices.h"
#include "ui_U_VyberMat.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

namespace prolis {

namespace {
const QString MsgNotChosen = QStringLiteral("Nevybrali jste materiál, je nutno jej vybrat.");
const QString MsgEndChoice = QStringLiteral("Skutečně chcete ukončit Výběr Materiálu ?");
} // namespace

Data& TVyberMat::HandedOver() {
    static Data data;
    return data;
}

TVyberMat::TVyberMat(QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TVyberMat>()), m_ocel(m_connection, sql::Materials),
      m_teplo(m_connection, sql::Temperatures), m_konstanty(m_connection, sql::ConstantsAll) {
    m_ui->setupUi(this);
    setFixedSize(size());
    connect(m_ui->DBLCBOcel, &QComboBox::activated, this,
            [this](int i) { guarded([&] { DBLCBOcelClick(i); }); });
    connect(m_ui->Vyber, &QPushButton::clicked, this, [this] { guarded([this] { VyberClick(); }); });
    connect(m_ui->Ukoncit, &QPushButton::clicked, this, [this] { guarded([this] { UkoncitClick(); }); });
    m_ui->DBLLBTeplo->viewport()->installEventFilter(this);
    m_ui->DBLLBTeplo->installEventFilter(this);
    connect(m_ui->DBLLBTeplo, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) m_teploRow = row;
    });
    FormCreate();
}

TVyberMat::~TVyberMat() {
    m_connection.disconnect();
}

void TVyberMat::FormCreate() {
    guarded([this] { m_connection.connect(connectionSettings()); });
    if (!m_connection.isConnected()) return;
    guarded([this] {
        m_ocel.open();
        for (int i = 0; i < m_ocel.rowCount(); ++i)
            m_ui->DBLCBOcel->addItem(displayText(m_ocel.row(i), QStringLiteral("nazev")));
        m_ui->DBLCBOcel->setCurrentIndex(-1);
        m_ocelRow = m_ocel.rowCount() > 0 ? 0 : -1;
    });
}

void TVyberMat::DBLCBOcelClick(int index) {
    m_ocelRow = index;
    m_materialPicked = true;
    m_ui->DBLLBTeplo->clear();
    m_teploRow = -1;
    m_teplo.close();
    m_teplo.open({rowKey(m_ocel, m_ocelRow)});
    QSignalBlocker block(m_ui->DBLLBTeplo);
    for (int i = 0; i < m_teplo.rowCount(); ++i)
        m_ui->DBLLBTeplo->addItem(displayText(m_teplo.row(i), QStringLiteral("teplo")));
    m_teploRow = m_teplo.rowCount() > 0 ? 0 : -1;
}

void TVyberMat::DBLLBTeploClick() {
    m_ui->Vyber->setEnabled(true);
}

void TVyberMat::VyberClick() {
    m_konstanty.close();
    showConstants();
    m_konstanty.open({rowKey(m_ocel, m_ocelRow), rowKey(m_teplo, m_teploRow)});
    showConstants();
}

void TVyberMat::showConstants() {
    const bool has = m_konstanty.isOpen() && m_konstanty.rowCount() > 0;
    for (QLabel* l : findChildren<QLabel*>()) {
        if (!l->objectName().startsWith(QLatin1String("DBT"))) continue;
        const QString column = l->objectName().mid(3);
        l->setText(has ? displayText(m_konstanty.row(0), column) : QString());
    }
}

void TVyberMat::UkoncitClick() {
    close();
}

bool TVyberMat::FormCloseQuery() {
    // No material to choose (an empty database, or a materials statement that
    // failed): let the user out instead of trapping them in the dialog.
    if (!m_ocel.isOpen() || m_ocel.rowCount() == 0)
        return true;
    if (!m_konstanty.isOpen()) {
        warning(MsgNotChosen);
        return false;
    }
    if (!confirm(MsgEndChoice)) return false;
    Data& data = HandedOver();
    fillData(data, m_konstanty.rowCount() > 0 ? &m_konstanty.row(0) : nullptr);
    if (Receiver) Receiver->MaterialChosen(data);
    return true;
}

void TVyberMat::reject() {
    bool allowed = false;
    guarded([&] { allowed = FormCloseQuery(); });
    if (allowed) QDialog::reject();
}

void TVyberMat::closeEvent(QCloseEvent* e) {
    // Every attempt to close goes through the closing check.
    e->ignore();
    reject();
}

bool TVyberMat::eventFilter(QObject* watched, QEvent* event) {
    const bool inList = watched == m_ui->DBLLBTeplo || watched == m_ui->DBLLBTeplo->viewport();
    if (inList && m_materialPicked) {
        if (event->type() == QEvent::MouseButtonRelease) {
            guarded([this] { DBLLBTeploClick(); });
        } else if (event->type() == QEvent::KeyRelease && watched == m_ui->DBLLBTeplo) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
                key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Space)
                guarded([this] { DBLLBTeploClick(); });
        }
    } else if (inList && !m_materialPicked &&
               (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        return true; // before a material is picked the list takes no selection
    }
    return QDialog::eventFilter(watched, event);
}

void chooseMaterial(QWidget* owner, IRunOnVyberClose* receiver) {
    TVyberMat dialog(owner);
    if (!dialog.isConnected()) {
        showMessage(MsgNoConnection);
        return;
    }
    dialog.Receiver = receiver;
    ui().execModal(&dialog);
}

} // namespace prolis
