#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

namespace varnolt {
namespace {

// The real program, started with the environment a person without a
// display would have.
QProcess* Start(const QStringList& arguments, const QProcessEnvironment& environment, QObject& owner) {
  auto* process = new QProcess(&owner);
  process->setProcessEnvironment(environment);
  process->start(VARNOLT_EXECUTABLE, arguments);
  return process;
}

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(variable);
  return environment;
}

TEST(NoDisplayTest, TheWindowWithoutADisplaySaysSoInOneLineAndExitsTwo) {
  for (const QStringList& arguments : {QStringList{}, QStringList{"--window", "a.txt"}}) {
    QObject owner;
    QProcess* process = Start(arguments, WithoutDisplay(), owner);
    ASSERT_TRUE(process->waitForFinished(20000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 2);
    const QString error = QString::fromUtf8(process->readAllStandardError());
    EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
    EXPECT_TRUE(error.contains("no display")) << error.toStdString();
    EXPECT_TRUE(error.contains("-o OUTPUT")) << error.toStdString();
    EXPECT_TRUE(process->readAllStandardOutput().isEmpty());
  }
}

// A platform that cannot start (no X display behind it) would abort the
// program if the batch mode ever loaded one.
TEST(NoDisplayTest, TheBatchModeNeverLoadsADisplayPlatform) {
  QTemporaryDir folder;
  const QString input = folder.filePath("in.txt");
  std::ofstream(input.toStdString()) << "batch text\n";
  QProcessEnvironment environment = WithoutDisplay();
  environment.insert("QT_QPA_PLATFORM", "xcb");
  QObject owner;
  QProcess* process = Start({input, "-o", folder.filePath("out.pdf"), "-q"}, environment, owner);
  ASSERT_TRUE(process->waitForFinished(30000));
  EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
  EXPECT_TRUE(QFile::exists(folder.filePath("out.pdf")));
}

}  // namespace
}  // namespace varnolt
