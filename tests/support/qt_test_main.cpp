// The main of every widget test program: the offscreen platform (no display needed),
// temporary configuration and runtime folders (file dialogs keep their state there), and one
// QApplication for all tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform says this at every dialog shown; it means nothing here.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text == "This plugin does not support propagateSizeHints()") return;
  if (text.startsWith("QStandardPaths:")) return;
  g_defaultHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
  g_defaultHandler = qInstallMessageHandler(QuietHandler);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime, config;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
