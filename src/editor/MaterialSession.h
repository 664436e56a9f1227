#pragma once
// One editing session of the material editor, without windows: the material
// as loaded and as edited, the text of every field with its validity, the
// chosen temperature, and per temperature its measured curve and fits (they
// travel with their temperature through adding, copying, deleting and
// sorting, and go with it). The window draws this state and forwards the
// user's actions; every question to the user stays with the window, which
// asks before calling the action that needs the answer.
#include "MaterialRepository.h"
#include "domain/CurveFit.h"

#include <QMap>
#include <functional>
#include <vector>

namespace prolis::edit {

// The fields of the form by their column names: "nazev", "rm", "rp", "a5",
// "z" of the material; "teplo" and the constants ("pol_a", "pn3_0", ...) of
// the chosen temperature.
bool isMaterialField(const QString& field);
bool isTemperatureField(const QString& field);
// How a message names a field ("Rm", "Teplota", "pol_b").
QString fieldCaption(const QString& field);

class MaterialSession {
public:
    explicit MaterialSession(MaterialRepository& repository) : m_repository(repository) {}

    // The materials of the database, read again.
    void refreshList();
    const QList<ListedMaterial>& listed() const { return m_listed; }

    // The material as edited, from the valid values of the fields.
    Material edited() const;
    const std::optional<Material>& loaded() const { return m_loaded; }
    // The id the form belongs to (none for a material not saved yet).
    std::optional<int> currentId() const { return m_loaded ? m_loaded->id : std::nullopt; }
    // Edits not saved: a changed value, or a field whose text is no value.
    bool isModified() const;

    // Opens material `id`; false when the database no longer has it (the
    // list is read again then and the form stays as it was).
    bool open(int id);
    void newMaterial();
    // Copies the loaded material (as the database holds it) and opens the
    // copy; false when nothing saved is loaded.
    bool copyLoaded();
    // Deletes the loaded material; the form is empty afterwards.
    void removeLoaded();

    // The user typed `text` into `field`. A text that is no value of the
    // field is kept as typed and marks the field invalid; the value stays.
    void setField(const QString& field, const QString& text);
    // What the field shows: its text as typed when invalid, else its value.
    QString fieldText(const QString& field) const;
    bool fieldValid(const QString& field) const;
    // The fields shown invalid, as "<caption> (teplota N °C): „text“".
    QStringList invalidFields() const;

    // The temperatures, in the order shown.
    int temperatureCount() const { return static_cast<int>(m_temperatures.size()); }
    int chosenRow() const { return m_chosen; }
    const Data* chosen() const;
    void choose(int row);
    // A new temperature (empty, or a copy of the chosen one with its curve)
    // chosen at once; the list stays ordered by temperature.
    // A temperature the record cannot hold (or below absolute zero) is
    // refused with the reason, and nothing is added.
    QString addTemperature(int temperature, bool copyChosen);
    void removeChosenTemperature();

    // The measured curve and fits of the chosen temperature.
    void setCurve(const QList<fit::Point>& points);
    const QList<fit::Point>& curve() const;
    // Fits the chosen temperature's curve; the reason when it cannot.
    QString fitCurve();
    const std::optional<fit::Fits>& fits() const;
    // The fits in the order of the list (each made or with its reason).
    QList<fit::Fit> fitList() const;
    bool fitTicked(int row) const;
    void tickFit(int row, bool ticked);
    // The ticked fits into the constants of the temperature they were made
    // for, as the shortest texts that keep every fitted stress within
    // 0,01 MPa over the fitted range.
    void takeTickedFits();

    // Why the edited material cannot be saved (invalid fields first, then
    // the checks); empty when it can.
    QStringList saveRefusals() const;
    // What a technologist should see before saving, as questions.
    QStringList saveWarnings() const;
    // Saves; the form then shows the material as the database holds it and
    // the list is read again. Raises what the repository raises; the edits
    // stay on the form. A material deleted meanwhile becomes a new one.
    int save();

    // An import: the material of a file, the existing material it would
    // replace (asked about by the window) and names only similar to it.
    struct Import {
        std::optional<Material> material;
        QString refusal;
        std::optional<int> replaces;
        QStringList similar;
    };
    Import prepareImport(const QString& path) const;
    // Puts the imported material on the form (over `replaces`, when set).
    void applyImport(const Import& import);

    // Names in the database that differ from the edited one only in case,
    // accents or trailing blanks.
    QStringList similarNames() const;

private:
    struct Temperature {
        Data data;
        QMap<QString, QString> invalid; // field -> the text typed
        QList<fit::Point> curve;
        std::optional<fit::Fits> fits;
        QList<bool> ticked;
        int serial = 0; // which one it is, through sorting
    };
    void show(const std::optional<Material>& loaded, const Material& m);
    void sortTemperatures();
    Temperature* chosenTemperature();
    const Temperature* chosenTemperature() const;

    MaterialRepository& m_repository;
    QList<ListedMaterial> m_listed;
    std::optional<Material> m_loaded;
    Material m_material; // name and values; its temperatures are m_temperatures
    QMap<QString, QString> m_invalid;
    QList<Temperature> m_temperatures;
    int m_chosen = -1;
    int m_nextSerial = 0;
};

// The shortest decimal texts (as values) for the constants of `fitted` that
// keep `model` within `tolerance` of the full-precision curve at `strains`.
// Exposed for tests.
std::vector<double> shortestConstants(const std::vector<double>& fitted,
                                      const std::function<double(const std::vector<double>&, double)>& model,
                                      const QList<double>& strains, double tolerance);

} // namespace prolis::edit
