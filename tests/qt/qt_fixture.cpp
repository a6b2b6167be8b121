#include "qt_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "qt/look.h"

// The D-Bus client that Qt's platform integration opens keeps its connection state for the
// life of the process; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

// Qt and the libraries below it are not instrumented: the thread checker sees the memory
// and lock calls they make into the C library but not the futex-based locks that order
// them, and would report Qt's own worker threads (image conversion, events) as racing.
// What those libraries do themselves is left out; every access of our code is still checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n"
         "called_from_lib:libQt6Multimedia.so.6\n"
         "called_from_lib:libpulse.so\n"
         "called_from_lib:libpulsecommon\n"
         "called_from_lib:libglib-2.0.so.0\n"
         "called_from_lib:libpng16.so.16\n";
}

namespace quenbo::qt::testing {
namespace {

bool xServer = false;

#ifdef QUENBO_QT_TESTS_OFFSCREEN
constexpr bool kOffscreenOnly = true;
#else
constexpr bool kOffscreenOnly = false;
#endif

// Starts Xvfb on the first free display; it reports the display number on a pipe once it
// accepts connections. Returns the server's process id, or -1.
pid_t startXvfb(std::string& display) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
      ::dup2(devNull, 1);
      ::dup2(devNull, 2);
    }
    std::string fd = std::to_string(pipeFds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1400x1000x24", "-nolisten",
             "tcp", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  if (pid < 0) {
    ::close(pipeFds[0]);
    return -1;
  }
  std::string number;
  pollfd wait{pipeFds[0], POLLIN, 0};
  char c;
  while (::poll(&wait, 1, 10000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(pipeFds[0]);
  if (number.empty()) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return -1;
  }
  display = ":" + number;
  return pid;
}

class QtEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (kOffscreenOnly) {
      // The thread checker cannot see the locks inside the uninstrumented Qt libraries, so
      // Qt's own helper threads (the X event reader, the D-Bus connection) would be reported
      // as racing; the offscreen platform has none, and our threads are what it checks.
      ::unsetenv("DISPLAY");
    } else if (!std::getenv("DISPLAY")) {
      std::string display;
      xvfb_ = startXvfb(display);
      if (xvfb_ > 0) ::setenv("DISPLAY", display.c_str(), 1);
    }
    xServer = std::getenv("DISPLAY") != nullptr;
    ::setenv("QT_QPA_PLATFORM", xServer ? "xcb" : "offscreen", 1);
    startApplication();
  }

  void startApplication() {
    static int argc = 1;
    static char name[] = "quenbo_qt_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    applyLook(*app_);
  }

  void TearDown() override {
    app_.reset();
    if (xvfb_ > 0) {
      ::kill(xvfb_, SIGTERM);
      ::waitpid(xvfb_, nullptr, 0);
    }
  }

 private:
  pid_t xvfb_ = -1;
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool processUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout.count()) return done();
    processFor(std::chrono::milliseconds(1));
  }
  return true;
}

void processFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void whenModalShown(std::function<void(QWidget&)> act) {
  auto* poll = new QTimer(QCoreApplication::instance());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->deleteLater();
      poll->disconnect();
      act(*modal);
    }
  });
  poll->start(10);
}

std::string screenshotPath(const std::string& name) {
  const char* dir = std::getenv("QUENBO_SCREENSHOT_DIR");
  std::filesystem::path folder = dir ? dir : QUENBO_SCREENSHOT_DIR;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return (folder / (name + ".png")).string();
}

std::string saveScreenshot(QWidget& widget, const std::string& name) {
  std::string path = screenshotPath(name);
  return widget.grab().save(QString::fromStdString(path), "PNG") ? path : std::string();
}

bool onXServer() {
  return xServer;
}

}  // namespace quenbo::qt::testing
