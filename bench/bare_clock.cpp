// The floor of our stack for the benchmark: a bare Qt clock with one window and two labels,
// re-formatted with strftime and re-set every 100 ms.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <ctime>

namespace {

QString Format(const char* format, const std::tm* moment) {
    char text[50];
    std::strftime(text, sizeof text, format, moment);
    return QString::fromLatin1(text);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare clock"));
    auto* layout = new QVBoxLayout(&window);
    auto* clock = new QLabel(&window);
    auto* date = new QLabel(&window);
    layout->addWidget(clock);
    layout->addWidget(date);
    QTimer timer(&window);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &window, [&] {
        const std::time_t now = std::time(nullptr);
        const std::tm* moment = std::localtime(&now);
        clock->setText(Format("%r", moment));
        date->setText(Format("%A %b %d, %Y ", moment));
    });
    timer.start(100);
    window.resize(375, 565);
    window.show();
    return QApplication::exec();
}
