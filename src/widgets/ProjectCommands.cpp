#include "ProjectCommands.h"

#include "UiServices.h"
#include "core/FileIo.h"
#include "domain/Journal.h"
#include "domain/UnitsProject.h"
#include "output/TextSave.h"

#include <QDir>
#include <QFileInfo>

namespace prolis {

namespace {
// The folder the project dialogs start in: the last one used in this run.
QString& projectFolder() {
    static QString folder;
    if (folder.isEmpty()) folder = QDir(out::dataFolder()).exists() ? out::dataFolder() : QDir::homePath();
    return folder;
}

QString counts(const project::Project& p) {
    return QStringLiteral("dopředné: %1, zpětné: %2").arg(p.forward.size()).arg(p.backward.size());
}
} // namespace

void keepHistories() {
    KeepingHistories().finish();
}

KeepingHistories::KeepingHistories() : m_write(journal::startKeepingUnits()) {}

void KeepingHistories::finish() {
    const QString failure = m_write.get();
    if (!failure.isEmpty()) warning(failure);
}

void restorePreviousRun(journal::Journal& journal) {
    QStringList offered;
    project::Project restored;
    for (const QString& orphan : journal.orphans()) {
        const project::ReadProject read = project::readProjectFile(orphan);
        if (!read.project) {
            const QString aside = journal.putAside(orphan);
            warning(read.refusal + QStringLiteral("\rSoubor byl odložen jako %1.").arg(aside));
            continue;
        }
        // A run whose histories were empty when it ended has nothing to offer.
        if (read.project->forward.isEmpty() && read.project->backward.isEmpty()) {
            journal.adopt(orphan);
            continue;
        }
        offered << orphan;
        restored.forward << read.project->forward;
        restored.backward << read.project->backward;
    }
    if (offered.isEmpty()) return;
    if (!confirm(QStringLiteral("Program nebyl minule řádně ukončen. Obnovit výpočty z minulého běhu?"))) {
        for (const QString& orphan : offered)
            journal.putAside(orphan);
        return;
    }
    project::restoreUnits(restored, fwd::forwardUnit(), bwd::backwardUnit());
    const QString failure = journal.write(project::projectOf(fwd::forwardUnit(), bwd::backwardUnit()));
    if (!failure.isEmpty()) {
        // Not kept by this run: the old journals stay, to be offered again.
        warning(failure);
        return;
    }
    for (const QString& orphan : offered)
        journal.adopt(orphan);
}

void saveCalculations() {
    const project::Project p = project::projectOf(fwd::forwardUnit(), bwd::backwardUnit());
    if (p.forward.isEmpty() && p.backward.isEmpty()) {
        information(QStringLiteral("Historie neobsahuje žádný výpočet."));
        return;
    }
    QString path = ui().saveFileName(projectFolder(), QStringLiteral("vypocty.prolis"), ProjectFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".prolis");
    path = QFileInfo(path).absoluteFilePath();
    projectFolder() = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path) && !confirm(QStringLiteral("Soubor %1 již existuje.\rPřepsat?").arg(path))) return;
    QString reason;
    if (!writeWholeFile(path, project::projectJson(p), &reason)) {
        errorBox(QStringLiteral("Výpočty nebyly uloženy.\r%1: %2").arg(path, reason));
        return;
    }
    information(QStringLiteral("Výpočty (%1) byly uloženy do souboru\r%2.").arg(counts(p), path));
}

void openCalculations() {
    const QString chosen = ui().openFileName(projectFolder(), ProjectFilter);
    if (chosen.isEmpty()) return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    projectFolder() = QFileInfo(path).absolutePath();
    const project::ReadProject read = project::readProjectFile(path);
    if (!read.project) {
        errorBox(read.refusal);
        return;
    }
    fwd::ForwardUnit& forward = fwd::forwardUnit();
    bwd::BackwardUnit& backward = bwd::backwardUnit();
    if (!project::unitsEmpty(forward, backward) &&
        !confirm(QStringLiteral("Výpočty v historii (%1) budou nahrazeny výpočty ze souboru\r%2.\rPokračovat?")
                     .arg(counts(project::projectOf(forward, backward)), path)))
        return;
    project::restoreUnits(*read.project, forward, backward);
    keepHistories();
    information(QStringLiteral("Výpočty (%1) byly načteny ze souboru\r%2.").arg(counts(*read.project), path));
}

} // namespace prolis
