// Start-up of the desktop program: the time from starting a process to its main window shown (offscreen)
// and the peak memory of that process. The program re-runs itself as the measured child, so the time
// includes loading the executable and the Qt libraries. Settings go to a temporary folder.
#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/MessageBoxPrompter.h"
#include "mainwindow/TFmMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double BudgetMs = 300.0;
constexpr double BudgetMb = 80.0;
constexpr int Runs = 10;

// The measured program: creates and shows the main window, says so on stdout once the window is shown,
// and ends the normal way.
int child(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MessageBoxPrompter prompter;
    FileDialogChooser files;
    TFmMain window(prompter, files, QCoreApplication::applicationDirPath());
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        // Shown means drawn: the first frame is rendered before the time is taken.
        window.grab();
        if (window.isVisible()) {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
        }
        QApplication::quit();
    });
    return app.exec();
}

struct Sample {
    double ms = 0;
    double peakMb = 0;
    bool ok = false;
};

Sample runOnce(const char* self) {
    Sample sample;
    int out[2];
    if (pipe(out) != 0)
        return sample;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char childFlag[] = "--child";
    char* argv[] = {const_cast<char*>(self), childFlag, nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return sample;
    }
    char line[16] = {};
    const ssize_t got = read(out[0], line, sizeof line - 1);
    const auto shown = std::chrono::steady_clock::now();
    close(out[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    sample.ms = std::chrono::duration<double, std::milli>(shown - start).count();
    sample.peakMb = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    sample.ok = got > 0 && std::strncmp(line, "shown", 5) == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return sample;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv);

    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", settings.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    std::vector<double> times;
    double peakMb = 0;
    for (int i = 0; i < Runs; ++i) {
        const Sample s = runOnce("/proc/self/exe");
        if (!s.ok) {
            std::fprintf(stderr, "run %d: the program did not show its window\n", i + 1);
            return 1;
        }
        times.push_back(s.ms);
        peakMb = std::max(peakMb, s.peakMb);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("start-up to main window shown (offscreen), %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n", Runs,
                median, times.front(), times.back());
    std::printf("peak memory (RSS): %.1f MB\n", peakMb);
    std::printf("ratio to budget: time %.2f of %.0f ms, memory %.2f of %.0f MB\n", median / BudgetMs, BudgetMs,
                peakMb / BudgetMb, BudgetMb);
    return median < BudgetMs && peakMb < BudgetMb ? 0 : 2;
}
