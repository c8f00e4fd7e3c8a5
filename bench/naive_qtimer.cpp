// The yardstick for the Linux program's countdown: a plain QTimer(1000) tick counter, the way a
// countdown is usually written with Qt (the default coarse timer). It counts N + 1 ticks and
// prints how late the last one came against start + (N + 1) s, measured with the monotonic clock.
//
//   naive_qtimer N      (default 120)
//
// Output (one line): "naive_timer ticks=121 expected_ms=121000 actual_ms=121840 error_ms=840"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 120;
  if (n < 0) return 2;
  QCoreApplication app(argc, argv);
  const long target = n + 1;
  long ticks = 0;
  double last = 0;
  QElapsedTimer clock;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    last = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (++ticks == target) app.quit();
  });
  clock.start();
  timer.start(1000);
  app.exec();

  const double expected = static_cast<double>(target) * 1000.0;
  std::printf("naive_timer ticks=%ld expected_ms=%.0f actual_ms=%.0f error_ms=%.0f\n", ticks,
              expected, last, last - expected);
  std::fflush(stdout);
  return 0;
}
