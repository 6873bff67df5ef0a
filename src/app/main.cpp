// The screensaver.

#include <QApplication>
#include <QStringList>

#include "app/first_frame.h"
#include "platform/desktop_services.h"
#include "platform/sdl_multimedia.h"
#include "screen/form.h"
#include "view/form_view.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    using namespace ladoslov;

    SystemClock clock;
    LocaleFormats regional;
    MersenneRandom random;
    PrimaryScreen screen;
    FontMeasurer measurer;
    LockFileInstanceGuard instance;
    WidgetTopMost topMost;
    SdlMultimedia multimedia;
    DiskFileSystem files;
    JpegPictureLoader pictures;
    DialogMessageBox messageBox;
    EventLoopProcess process;
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    Services services{clock,     regional, random,   screen,   measurer,   instance, topMost,
                      multimedia, files,    pictures, messageBox, process, args.join(QLatin1Char(' ')).toStdString()};

    Form1 form(services);
    form.CheckCommandLine();
    if (form.ended()) return form.exitCode();

    FormView view(form, twipsPerPixel());
    topMost.attach(&view);
    form.Form_Load();
    if (form.ended()) return form.exitCode();
    view.sync();
    FirstFrameReporter::watch(&view);
    view.showFullScreen();
    view.activateWindow();
    view.setFocus();
    view.startTimers();
    return QApplication::exec();
}
