#pragma once
#include "db/MaterialDb.h"

#include <QDialog>
#include <QSet>
#include <memory>

class QSqlQueryModel;
class QTableView;

namespace Ui {
class TVypisMat;
}

namespace prolis {

// The material listing: materials, the temperatures of the current material
// and every constant of the current combination, in three read-only grids.
class TVypisMat : public QDialog {
    Q_OBJECT
public:
    explicit TVypisMat(QWidget* owner = nullptr);
    ~TVypisMat() override;
    bool isConnected() const { return m_connection.isConnected(); }

    void DBGOcelyCellClick();
    void DBGOcelyKeyDown();
    void DBGTeplotyCellClick();
    void DBGTeplotyKeyDown();
    void UkoncitClick();

    QSqlQueryModel* materials() const { return m_ocelModel; }
    QSqlQueryModel* temperatures() const { return m_teploModel; }
    QSqlQueryModel* constants() const { return m_konstantyModel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void rerunTemperatures();
    void rerunConstants();
    Key currentKey(QTableView* grid, QSqlQueryModel* model) const;

    std::unique_ptr<Ui::TVypisMat> m_ui;
    MaterialConnection m_connection;
    MaterialQuery m_ocel;
    MaterialQuery m_teplo;
    MaterialQuery m_konstanty;
    QSqlQueryModel* m_ocelModel;
    QSqlQueryModel* m_teploModel;
    QSqlQueryModel* m_konstantyModel;
    // Keys pressed in a grid and not yet released.
    QSet<QPair<QObject*, int>> m_pressedKeys;
};

// The main window's "Výpis" command.
void showMaterialListing(QWidget* owner);

} // namespace prolis
