// spanlab: the program's window. Usage: spanlab [MODEL.spn]
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QWindow>

#include "app/qt_main_frame.h"
#include "app/qt_tip_dialog.h"
#include "platform/qt_settings.h"
#include "report/print_options.h"

namespace {

// Lets the window system show `window` and the window paint itself (at most half a second).
void WaitUntilDrawn(QWidget& window) {
  QElapsedTimer clock;
  clock.start();
  while (window.windowHandle() && !window.windowHandle()->isExposed() && clock.elapsed() < 500) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QApplication::processEvents();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Spanlab Application");
  QApplication::setApplicationName("Spanlab");
  QApplication::setApplicationVersion("3.20");

  QCommandLineParser parser;
  parser.setApplicationDescription("Static analysis of a continuous beam.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("model", "a model file (.spn) to open");
  parser.process(app);

  spanlab::QtSettingsStore settings;
  spanlab::PrintOptions options = spanlab::LoadPrintOptions(settings);
  int status = 0;
  {
    spanlab::CMainFrame frame(settings, options);
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty() && !QFileInfo(files.first()).isFile()) {
      QMessageBox::critical(nullptr, "Spanlab",
                            "Cannot open '" + files.first() + "': there is no such file.");
      return 1;
    }
    // The window is drawn before the model is read: a large model then opens in a window the
    // user already sees, not behind a blank screen.
    frame.ShowAsLeft();
    if (!files.isEmpty()) {
      WaitUntilDrawn(frame);
      if (!frame.OpenFile(files.first())) return 1;
    }
    // The databases live beside the program, or in its installed data folder.
    const QString programDir = QCoreApplication::applicationDirPath();
    frame.LoadDatabases({programDir, programDir + "/../share/spanlab"});
    std::vector<std::string> tipFolders{"."};
    for (const std::string& f : spanlab::CMainFrame::ProgramFolders()) tipFolders.push_back(f);
    spanlab::ShowTipAtStartup(&frame, settings, tipFolders);
    status = QApplication::exec();
  }
  spanlab::SavePrintOptions(settings, options);
  return status;
}
