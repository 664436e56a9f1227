#pragma once
#include "db/MaterialCatalog.h"
#include "db/MaterialDb.h"
#include "domain/Data.h"

#include <QDialog>
#include <QHash>
#include <QMap>
#include <QRect>
#include <functional>
#include <memory>

namespace Ui {
class TVyberMat;
}

namespace prolis {

// The material selection dialog: a material and a temperature from the
// database, their constants in the panels, and on closing the filled record
// handed to the window that opened it.
class TVyberMat : public QDialog {
    Q_OBJECT
public:
    explicit TVyberMat(QWidget* owner = nullptr);
    ~TVyberMat() override;

    bool isConnected() const { return m_connection.isConnected(); }
    IRunOnVyberClose* Receiver = nullptr;

    void DBLCBOcelClick(int index);
    void DBLLBTeploClick();
    void VyberClick();
    void UkoncitClick();
    // Whether the dialog may close; hands the material over when it may.
    bool FormCloseQuery();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // Runs an action with statements, connecting again first when the one
    // before failed on the database.
    void withDatabase(const std::function<void()>& action);
    void showConstants();
    void fitColumns();

    std::unique_ptr<Ui::TVyberMat> m_ui;
    MaterialConnection m_connection;
    MaterialSelection m_selection; // Q1, Q2, Q3a
    int m_teploRow = -1;           // current row of Q2
    bool m_materialPicked = false;
    bool m_databaseFailed = false;
    QHash<const QWidget*, QRect> m_formGeometry; // every control's place in the form
    QMap<int, int> m_formWidthAt;                // a constants column's width in the form, by its left edge
};

// Opens the selection dialog for a calculation window: shows it only when its
// connection is open, says so otherwise.
void chooseMaterial(QWidget* owner, IRunOnVyberClose* receiver);

} // namespace prolis
