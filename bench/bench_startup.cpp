// Start-up to the main window's first paint (settings file present, password
// prompt answered at once), in milliseconds.
#include "app/ProlisApplication.h"
#include "app/U_MainForm.h"
#include "db/ConnectionSettings.h"
#include "support/RecordingUi.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer total;
    total.start();
    QApplication app(argc, argv);
    prolis::applyApplicationFont();
    QTemporaryDir dir;
    const QString ini = dir.filePath("prolis.ini");
    QFile f(ini);
    f.open(QIODevice::WriteOnly);
    f.write("[Database]\r\nHostName=127.0.0.1\r\nPort=3306\r\nDatabase=prolis\r\nUser=prolis\r\n");
    f.close();
    prolis::setSettingsFilePathOverride(ini);
    prolis::test::RecordingUi ui;
    QList<double> times;
    double firstWindow = 0;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        prolis::TMainForm form;
        PaintWatch watch;
        form.installEventFilter(&watch);
        form.show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        times.append(t.nsecsElapsed() / 1e6);
        if (i == 0) firstWindow = total.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    std::printf("application object created to the first window's first paint: %.1f ms\n", firstWindow);
    std::printf("main window creation to first paint: median %.2f ms, min %.2f ms over %lld runs\n",
                times[times.size() / 2], times.first(), static_cast<long long>(times.size()));
    return 0;
}
