// The yardstick of the splash benchmark: a Qt program that shows one window
// and nothing else. It records its first paint the way KorvanaStudio records
// its splash ("splash-shown <CLOCK_MONOTONIC ns>" appended to the file in
// KORVANA_STARTUP_TRACE) and ends right after it.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <time.h>

namespace {

class FirstPaintWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (painted_) {
            return;
        }
        painted_ = true;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (const char* trace = std::getenv("KORVANA_STARTUP_TRACE")) {
            std::ofstream(trace, std::ios::app)
                << "splash-shown "
                << static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec << '\n';
        }
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

  private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FirstPaintWindow window;
    window.resize(480, 320);
    window.show();
    return application.exec();
}
