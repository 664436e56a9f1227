#include "U_VypisMat.h"

#include "core/NumberText.h"
#include "ui_U_VypisMat.h"
#include "widgets/Glyphs.h"
#include "widgets/UiServices.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSqlQueryModel>
#include <QStyledItemDelegate>

namespace prolis {

namespace {
// Grid cells show numbers in the system's number text (decimal comma, up to
// 15 significant digits), NULL as an empty cell.
class NumberTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        if (value.isNull()) return {};
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return formatGeneral(value.toDouble());
        return QStyledItemDelegate::displayText(value, locale);
    }
};
} // namespace

TVypisMat::TVypisMat(QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TVypisMat>()), m_ocel(m_connection, sql::Materials),
      m_teplo(m_connection, sql::Temperatures), m_konstanty(m_connection, sql::ConstantsListing),
      m_ocelModel(new QSqlQueryModel(this)), m_teploModel(new QSqlQueryModel(this)),
      m_konstantyModel(new QSqlQueryModel(this)) {
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(size());
    m_ui->Splitters->setStyleSheet(QStringLiteral("QSplitter::handle { background: black; }"));
    m_ui->Splitters->setSizes({94, 123, 70});
    m_ui->DBGOcely->setModel(m_ocelModel);
    m_ui->DBGTeploty->setModel(m_teploModel);
    m_ui->DBGVsechno->setModel(m_konstantyModel);
    for (QTableView* grid : {m_ui->DBGOcely, m_ui->DBGTeploty, m_ui->DBGVsechno}) {
        grid->verticalHeader()->setDefaultSectionSize(17);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        grid->setTabKeyNavigation(true);
        grid->setItemDelegate(new NumberTextDelegate(grid));
    }
    m_ui->DBGOcely->installEventFilter(this);
    m_ui->DBGTeploty->installEventFilter(this);
    connect(m_ui->DBGOcely, &QTableView::clicked, this, [this] { guarded([this] { DBGOcelyCellClick(); }); });
    connect(m_ui->DBGTeploty, &QTableView::clicked, this,
            [this] { guarded([this] { DBGTeplotyCellClick(); }); });
    connect(m_ui->Ukoncit, &QPushButton::clicked, this, [this] { guarded([this] { UkoncitClick(); }); });
    FormCreate();
}

TVypisMat::~TVypisMat() {
    m_ocel.close();
    m_connection.disconnect();
}

void TVypisMat::FormCreate() {
    guarded([this] { m_connection.connect(connectionSettings()); });
    if (m_connection.isConnected()) {
        guarded([this] {
            m_ocelModel->setQuery(m_ocel.makeQuery({}));
            m_ui->DBGOcely->setColumnHidden(0, true);
            m_ui->DBGOcely->resizeColumnsToContents();
        });
    }
    m_teploModel->clear();
    m_konstantyModel->clear();
}

Key TVypisMat::currentKey(QTableView* grid, QSqlQueryModel* model) const {
    // The current row of the query: the row the grid marks, the first row when
    // the grid marks none.
    if (model->rowCount() == 0) return std::nullopt;
    const int row = grid->currentIndex().isValid() ? grid->currentIndex().row() : 0;
    const QVariant id = model->record(row).value(QStringLiteral("id"));
    if (id.isNull()) return std::nullopt;
    return id.toInt();
}

void TVypisMat::rerunTemperatures() {
    m_teploModel->clear();
    m_teploModel->setQuery(m_teplo.makeQuery({currentKey(m_ui->DBGOcely, m_ocelModel)}));
    m_ui->DBGTeploty->setColumnHidden(0, true);
    m_ui->DBGTeploty->setEnabled(true);
}

void TVypisMat::rerunConstants() {
    const Key material = currentKey(m_ui->DBGOcely, m_ocelModel);
    const Key temperature = currentKey(m_ui->DBGTeploty, m_teploModel);
    m_konstantyModel->clear();
    m_konstantyModel->setQuery(m_konstanty.makeQuery({material, temperature}));
    m_ui->DBGVsechno->resizeColumnsToContents();
}

void TVypisMat::DBGOcelyCellClick() {
    rerunTemperatures();
}
void TVypisMat::DBGOcelyKeyDown() {
    rerunTemperatures();
}
void TVypisMat::DBGTeplotyCellClick() {
    rerunConstants();
}
void TVypisMat::DBGTeplotyKeyDown() {
    rerunConstants();
}

void TVypisMat::UkoncitClick() {
    if (confirm(QStringLiteral("Skutečně chcete ukončit prohlížení výpisu ?"))) accept();
}

bool TVypisMat::eventFilter(QObject* watched, QEvent* event) {
    // A key press runs the handler before the grid moves, the release again
    // after. A release whose press went elsewhere (Enter or Esc closing a
    // message box over the grid) runs nothing: it would re-run the statement
    // and, with the server gone, bring up the next box at once.
    const bool press = event->type() == QEvent::KeyPress;
    const bool release = event->type() == QEvent::KeyRelease;
    if ((press || release) && (watched == m_ui->DBGOcely || watched == m_ui->DBGTeploty)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (release && key->isAutoRepeat()) return QDialog::eventFilter(watched, event);
        if (press) {
            m_pressedKeys.insert({watched, key->key()});
        } else if (!m_pressedKeys.remove({watched, key->key()})) {
            return QDialog::eventFilter(watched, event);
        }
        if (watched == m_ui->DBGOcely)
            guarded([this] { DBGOcelyKeyDown(); });
        else
            guarded([this] { DBGTeplotyKeyDown(); });
    } else if (event->type() == QEvent::FocusOut &&
               (watched == m_ui->DBGOcely || watched == m_ui->DBGTeploty)) {
        // Keys held while the focus leaves are released elsewhere.
        for (auto it = m_pressedKeys.begin(); it != m_pressedKeys.end();)
            it = it->first == watched ? m_pressedKeys.erase(it) : std::next(it);
    }
    return QDialog::eventFilter(watched, event);
}

void showMaterialListing(QWidget* owner) {
    TVypisMat window(owner);
    if (!window.isConnected()) {
        showMessage(MsgNoConnection);
        return;
    }
    ui().execModal(&window);
}

} // namespace prolis
