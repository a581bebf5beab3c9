// Measures, under the platform, what the launcher's users wait for: how soon the watch notices the
// application's window, how long the launcher takes from its start to the runtime's start beside
// Wine's own start of a trivial program, and how long the registry scan of 1,000 runtimes takes.
// It prints figures; it asserts nothing.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launch/child_watch.h"
#include "launch/registry_scan.h"
#include "startup/launcher_state.h"
#include "test_support.h"

using namespace testing_support;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printFigure(const char* what, const std::vector<double>& values, const char* unit) {
    printf("%-48s median %8.1f %s   max %8.1f %s   (%zu runs)\n", what, median(values), unit,
           *std::max_element(values.begin(), values.end()), unit, values.size());
}

// From the child's window opening to runAndWatch returning, over launches with random delays.
std::vector<double> detectionLatency(int runs) {
    ScratchFolder folder("bench_watch");
    const std::string log = folder / "java.log";
    folder.placeStandIn("rt\\bin\\java.exe",
                        "log=" + log + "\naction=window\ndelay=100\ndelay-random=1200\n");
    std::string exeFolder = folder.path() + "\\";
    launcherState.exeDirectory = &exeFolder[0];
    std::vector<double> millis;
    for (int i = 0; i < runs; ++i) {
        DeleteFileA(log.c_str());
        std::string line = folder / "rt\\bin\\java -cp quarvel.jar;. com.quarvel.browser.Browser";
        const bool found = runAndWatch(&line[0]);
        const long long returned = nowMicros();
        // The child notes its window just after creating it: the watch may be quicker than that.
        std::vector<Record> seen = readRecords(log);
        for (int wait = 0; wait < 100 && found && (seen.empty() || seen[0].windowOpened < 0);
             ++wait) {
            Sleep(10);
            seen = readRecords(log);
        }
        if (!found || seen.empty() || seen[0].windowOpened < 0) {
            fprintf(stderr, "run %d: the window was not detected\n", i);
            continue;
        }
        millis.push_back((returned - seen[0].windowOpened) / 1000.0);
        endRecordedProcesses(log);
    }
    launcherState.exeDirectory = nullptr;
    return millis;
}

// Start of a process (by this one) to the moment its main() runs, for a trivial program and for
// launcher.exe up to the runtime it starts.
void startupOverhead(int runs, std::vector<double>* trivial, std::vector<double>* launcher) {
    CleanJavaSoftKeys clean;
    ScratchFolder disc("bench_disc");
    disc.placeLauncher();
    disc.writeFile("quarvel.jar", "PK");
    const std::string log = disc / "children.log";
    disc.placeStandIn("java\\bin\\java.exe", "log=" + log + "\naction=exit\ncode=0\n");
    disc.placeStandIn("trivial.exe", "log=" + log + "\ncheck-main=0\n");
    for (int i = 0; i < runs; ++i) {
        for (const bool viaLauncher : {false, true}) {
            DeleteFileA(log.c_str());
            const long long before = nowMicros();
            Process p("\"" + disc / (viaLauncher ? "launcher.exe" : "trivial.exe") + "\"",
                      disc.path());
            p.waitForExit(30000);
            const std::vector<Record> seen = readRecords(log);
            if (seen.empty()) continue;
            (viaLauncher ? launcher : trivial)->push_back((seen[0].started - before) / 1000.0);
        }
    }
}

std::vector<double> registryScan(int runtimes, int runs) {
    CleanJavaSoftKeys clean;
    const char* keys[] = {"Java Runtime Environment", "Java Plug-in", "Java Development Kit"};
    for (int i = 0; i < runtimes; ++i) {
        const std::string name = "1." + std::to_string(i % 9) + "." + std::to_string(i / 9 % 10) +
                                 "_" + std::to_string(i);
        registerRuntime(keys[i % 3], name, "C:\\Runtimes\\rt" + std::to_string(i % 700));
    }
    std::vector<double> millis;
    size_t listed = 0;
    for (int i = 0; i < runs; ++i) {
        RuntimeList list;
        const long long before = nowMicros();
        collectInstalledRuntimes(list);
        millis.push_back((nowMicros() - before) / 1000.0);
        listed = 0;
        for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next) ++listed;
    }
    printf("registry: %d registered runtimes, %zu distinct homes listed\n", runtimes, listed);
    return millis;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 20;
    printFigure("window detection latency", detectionLatency(runs), "ms");
    std::vector<double> trivial, launcher;
    startupOverhead(std::max(3, runs / 4), &trivial, &launcher);
    printFigure("start of a trivial program under Wine", trivial, "ms");
    printFigure("launcher start to runtime start (local java)", launcher, "ms");
    printFigure("registry scan of 1,000 runtimes", registryScan(1000, 5), "ms");
    return 0;
}
