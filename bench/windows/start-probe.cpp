// orvane-start-probe main|baseline: shows the program's main window, or the
// bare Qt window of the same make-up, and prints the milliseconds from the
// creation of this process to the window's first paint, then exits at once.
// A console program, so that what it prints reaches the shell under Wine.

#include "StartProbe.h"

#include <QApplication>

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// 100-nanosecond ticks since 1601, as Windows keeps process times.
long long ticks(const FILETIME &time)
{
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

double msSinceProcessCreated()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    return double(ticks(now) - ticks(created)) / 1e4;
}

}  // namespace

int main(int argc, char **argv)
{
    const bool main = argc > 1 && std::strcmp(argv[1], "main") == 0;
    QApplication app(argc, argv);
    return runUntilFirstPaint(app, main, [] { std::printf("%.1f\n", msSinceProcessCreated()); });
}
