// Measures, under the platform, what the launcher's users wait for: how soon the watch notices the
// application's window (also beside the earlier watch of the child alone, behind a shim, when the
// window gets its title after its creation, and after a runtime wrote 200 KiB to its error output,
// with the log on and off), how long the launcher takes from its start to the runtime's start
// beside Wine's own start of a trivial program and beside the floor (launch_floor.exe: the same
// platform calls without the launcher's logic, built up in steps), with its log on beside the log's
// floor in its steps (each start also in its parts), the runtime's start with the log's pipe beside
// without it by a parent that does nothing else, how long the registry scan of 1,000 runtimes
// takes, and the search for the runtimes that nothing registers over 100 homes. It prints figures;
// it asserts nothing. Arguments: the number of runs (20), and of start-up rounds (five times that:
// fewer, and two runs of the bench here gave ratios 3 % apart).
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "launch/child_process.h"
#include "launch/child_watch.h"
#include "launch/launch_log.h"
#include "launch/registry_scan.h"
#include "launch/runtime_output.h"
#include "launch/unregistered_runtimes.h"
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
    if (values.empty()) {
        printf("%-48s no runs\n", what);
        return;
    }
    printf("%-48s median %8.1f %s   max %8.1f %s   (%zu runs)\n", what, median(values), unit,
           *std::max_element(values.begin(), values.end()), unit, values.size());
}

// The watch as it was before it looked at the child's descendants: only windows of the child
// itself count. Kept here as the yardstick for what looking at the descendants costs.
struct DirectChildSearch {
    DWORD processId;
    bool found;
};
BOOL CALLBACK matchDirectChildWindow(HWND window, LPARAM parameter) {
    DirectChildSearch& search = *reinterpret_cast<DirectChildSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) return TRUE;
    char title[100] = "";
    GetWindowTextA(window, title, sizeof title);
    if (strstr(title, "QuarVel") == nullptr) return TRUE;
    search.found = true;
    return FALSE;
}
bool directChildWatch(char* commandLine) {
    PROCESS_INFORMATION child;
    if (!startDetachedChild(commandLine, launcherState.runtimeDirectory, child)) return false;
    KernelHandle thread(child.hThread);
    KernelHandle process(child.hProcess);
    for (int cycle = 0; cycle < watchCycles; ++cycle) {
        if (WaitForSingleObject(process, watchPollMilliseconds) != WAIT_TIMEOUT) break;
        DirectChildSearch search = {child.dwProcessId, false};
        EnumWindows(matchDirectChildWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return true;
    }
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process, &exitCode);
    if (exitCode == STILL_ACTIVE) TerminateProcess(process, 1);
    return exitCode == 0;
}

typedef bool (*Watch)(char* commandLine);

// One way to watch a child, and where the application's window opens.
struct WatchCase {
    Watch watch;
    bool throughShim;  // the window opens in the child's child, behind a package manager's shim
    std::vector<double> millis;
    int titleAfter = -1;  // ms after its creation that the window gets its title; -1: at once
    std::vector<double> afterMade = {};  // the same, from the return of the call that made it
};

// Starts the runtime in `home` through `watch`, and adds how long after the application's window
// opened the watch returned (from the call that made it, and, into `afterMade` where given, from
// that call's return: the watch may be quicker); false, adding nothing, when the window was not
// seen.
bool watchOnce(Watch watch, const std::string& home, const std::string& log,
               std::vector<double>& millis, std::vector<double>* afterMade = nullptr) {
    std::string line = home + "\\bin\\java -cp quarvel.jar;. com.quarvel.browser.Browser";
    const bool found = watch(&line[0]);
    const long long returned = nowMicros();
    // The window's opener notes it just after creating it: the watch may be quicker.
    std::vector<Record> seen = readRecords(log);
    for (int wait = 0; wait < 100 && found && (seen.empty() || seen.back().windowStood < 0);
         ++wait) {
        Sleep(10);
        seen = readRecords(log);
    }
    endRecordedProcesses(log);
    if (!found || seen.empty() || seen.back().windowStood < 0) return false;
    millis.push_back((returned - seen.back().windowOpened) / 1000.0);
    if (afterMade != nullptr) afterMade->push_back((returned - seen.back().windowStood) / 1000.0);
    return true;
}

// From the application's window opening to the watch returning. With `midCycle` the window opens
// 450 ms after the child is started, halfway between the watch's first and second look, so that
// what differs between watches is their own work, not where in the 300 ms the window fell;
// otherwise after a random delay. The cases take turns, run by run.
void detectionLatency(std::vector<WatchCase>& cases, int runs, bool midCycle) {
    ScratchFolder folder("bench_watch");
    const std::string log = folder / "java.log";
    std::string exeFolder = folder.path() + "\\";
    launcherState.exeDirectory = &exeFolder[0];
    launcherState.runtimeDirectory = launcherState.exeDirectory;  // a plain folder: the same
    folder.placeStandIn("rt\\bin\\java.exe", "");
    folder.placeStandIn("shim\\bin\\java.exe",
                        "log=" + log + "\nshim=" + folder / "rt\\bin\\java.exe" + "\n");
    for (int i = 0; i < runs; ++i) {
        for (WatchCase& c : cases) {
            DeleteFileA(log.c_str());
            const long long start = nowMicros();
            folder.writeFile("rt\\bin\\java.behaviour",
                             "log=" + log + "\naction=window\ntitle-after=" +
                                 std::to_string(c.titleAfter) + "\n" +
                                 (midCycle ? "at=" + std::to_string(start + 450000) + "\n"
                                           : "delay=100\ndelay-random=1200\n"));
            if (!watchOnce(c.watch, folder / (c.throughShim ? "shim" : "rt"), log, c.millis,
                           &c.afterMade)) {
                fprintf(stderr, "run %d: the window was not detected\n", i);
            }
        }
    }
    launcherState.exeDirectory = nullptr;
    launcherState.runtimeDirectory = launcherState.exeDirectory;
}

// What a start-up is measured from: a trivial program, the floor in its steps (each adding one
// thing the launcher pays for to the one before), and the launcher.
struct StartupProgram {
    const char* file;
    const char* figure;  // the bench's line
    const char* step;    // what it adds to the program it is set beside
    int beside;          // that program's place in the list; -1: none
    bool logged;         // started with QUARVEL_LAUNCHER_LOG naming a file
    std::vector<double> millis = {};
    std::vector<double> byRound = {};  // each round's figure, or -1 where that start failed
    // The same start in its three parts, by the system's creation times of the program and of its
    // runtime: the program's process made, its own code up to the runtime's creation, and the
    // runtime's process up to its main().
    std::vector<double> made = {}, ownCode = {}, runtimeStart = {};
};

// A process's creation time on the clock of nowMicros(), by way of the system time and the offset
// between the two clocks taken at `system`, `counter`.
double createdAt(unsigned long long created, const FILETIME& system, long long counter) {
    const unsigned long long systemTime =
        static_cast<unsigned long long>(system.dwHighDateTime) << 32 | system.dwLowDateTime;
    return counter + (static_cast<double>(created) - static_cast<double>(systemTime)) / 10;
}

unsigned long long creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return static_cast<unsigned long long>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

// Start of a process (by this one) to the moment a recording program's main() runs: a trivial
// program itself, and the local runtime started by each floor and by launcher.exe, taken in turns.
// Each starts on a quiet system: a program started while the one before, or the runtime that one
// started, is still ending waits for Wine to finish that end, which costs whoever comes next (40 to
// 55 ms here), not what it measures. So the next start waits until both have ended and Wine has
// settled, and each round takes the programs in an order of its own (shuffled, the same from one
// run of the bench to the next), so that no program always follows the same one.
void startupOverhead(std::vector<StartupProgram>& programs, int runs) {
    CleanRuntimeKeys clean;
    ScratchFolder disc("bench_disc");
    disc.placeLauncher();
    for (const StartupProgram& program : programs) {
        if (strncmp(program.file, "launch_floor", 12) != 0) continue;
        CopyFileA((testProgramFolder() + "\\" + program.file).c_str(),
                  (disc / program.file).c_str(), FALSE);
    }
    disc.writeFile("quarvel.jar", "PK");
    const std::string log = disc / "children.log";
    const char signal[] = "QuarVelBenchRuntimeStarted";
    const HANDLE started = CreateEventA(nullptr, FALSE, FALSE, signal);
    disc.placeStandIn("java\\bin\\java.exe",
                      "log=" + log + "\naction=exit\ncode=0\nsignal=" + signal + "\n");
    disc.placeStandIn("trivial.exe", "log=" + log + "\ncheck-main=0\nsignal=" + signal + "\n");
    std::vector<size_t> order(programs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::mt19937 shuffler(35);
    for (StartupProgram& program : programs) program.byRound.assign(runs, -1);
    for (int i = 0; i < runs; ++i) {
        std::shuffle(order.begin(), order.end(), shuffler);
        for (size_t turn : order) {
            StartupProgram& program = programs[turn];
            DeleteFileA(log.c_str());
            SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG",
                                    program.logged ? (disc / "launcher.log").c_str() : nullptr);
            FILETIME beforeSystem;
            GetSystemTimePreciseAsFileTime(&beforeSystem);
            const long long before = nowMicros();
            Process p("\"" + disc / program.file + "\"", disc.path());
            SetEnvironmentVariableA("QUARVEL_LAUNCHER_LOG", nullptr);
            // Waited for without a look meanwhile, which would add to what is measured.
            WaitForSingleObject(started, 30000);
            const std::vector<Record> seen = readRecords(log);
            if (seen.empty()) {
                fprintf(stderr, "run %d: %s started no runtime\n", i, program.file);
                continue;
            }
            program.millis.push_back((seen[0].started - before) / 1000.0);
            program.byRound[i] = program.millis.back();
            const double made = createdAt(creationTime(p.handle()), beforeSystem, before);
            const double runtimeMade = createdAt(seen[0].created, beforeSystem, before);
            program.made.push_back((made - before) / 1000.0);
            program.ownCode.push_back((runtimeMade - made) / 1000.0);
            program.runtimeStart.push_back((seen[0].started - runtimeMade) / 1000.0);
            const HANDLE runtime = openRecordedProcess(seen[0], SYNCHRONIZE);
            if (runtime != nullptr) {
                WaitForSingleObject(runtime, 10000);
                CloseHandle(runtime);
            }
            // What a program does once its runtime has started is not measured: the launcher's
            // second before it ends is cut short, and the end is waited for.
            if (p.waitForExit(0) == STILL_ACTIVE) p.kill();
            Sleep(300);
        }
    }
    CloseHandle(started);
}

// The lower quartile of a program's start-up times: the system's noise only ever adds time, so the
// quicker starts show a program's own cost most steadily from one run of the bench to the next.
double lowerQuartile(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 4];
}

// One program beside another: the ratio of their lower quartiles, and how far the rounds' own
// ratios spread (the two took their turns within each round, on the same quiet system): the middle
// half of them.
void printRatio(const char* what, const StartupProgram& a, const StartupProgram& b,
                const char* unit) {
    std::vector<double> ratios;
    for (size_t i = 0; i < a.byRound.size() && i < b.byRound.size(); ++i) {
        if (a.byRound[i] > 0 && b.byRound[i] > 0) ratios.push_back(a.byRound[i] / b.byRound[i]);
    }
    if (ratios.empty()) {
        printf("%-48s no runs\n", what);
        return;
    }
    std::sort(ratios.begin(), ratios.end());
    printf("%-48s %.3fx %s; rounds' ratios: middle half %.3fx to %.3fx (%zu rounds)\n", what,
           lowerQuartile(a.millis) / lowerQuartile(b.millis), unit, ratios[ratios.size() / 4],
           ratios[ratios.size() * 3 / 4], ratios.size());
}

// The runtime started by the launcher's own call, with the log's pipe (made first, its read waiting
// while the runtime starts) and without, by a parent that does nothing else meanwhile: what the
// pipe, the handle list and the extended start cost the runtime's own start, without a launcher's
// window and watch beside it (which, in the rounds above, spread the runtime's start over some 60
// ms here). From the pipe's making, or the call, to the runtime's main(); in turns, ABBA.
void runtimeStartBesideThePipe(int rounds, std::vector<double>& plain, std::vector<double>& piped) {
    ScratchFolder folder("bench_pipe");
    const std::string log = folder / "java.log";
    const char signal[] = "QuarVelBenchPipedRuntimeStarted";
    const HANDLE started = CreateEventA(nullptr, FALSE, FALSE, signal);
    folder.placeStandIn("java\\bin\\java.exe",
                        "log=" + log + "\naction=exit\ncode=0\nsignal=" + signal + "\n");
    for (int i = 0; i < 2 * rounds; ++i) {
        const bool withPipe = (i % 2 == 0) == (i / 2 % 2 == 0);
        DeleteFileA(log.c_str());
        std::string line = folder / "java\\bin\\java -cp quarvel.jar;. com.quarvel.browser.Browser";
        const long long before = nowMicros();
        ErrorOutputPipe pipe(withPipe);
        PROCESS_INFORMATION child;
        if (!startDetachedChild(&line[0], folder.path().c_str(), child, &pipe)) continue;
        KernelHandle thread(child.hThread);
        KernelHandle process(child.hProcess);
        static RuntimeOutput output;
        pipe.closeWriteEnd();
        pipe.startReading(output);
        WaitForSingleObject(started, 10000);
        const std::vector<Record> seen = readRecords(log);
        if (!seen.empty())
            (withPipe ? piped : plain).push_back((seen[0].started - before) / 1000.0);
        WaitForSingleObject(process, 10000);
        if (withPipe) pipe.stopReading();
        Sleep(100);
    }
    CloseHandle(started);
}

// A runtime that writes 200 KiB to its error output, then opens the application's window at once,
// watched with the log on (the watch reads the output through its pipe as it arrives) or off (it
// has no error output): from the window's opening to the watch's return.
std::vector<double> noisyRuntimeLatency(int runs, bool logOn) {
    if (logOn) {
        openLaunchLog({[]() -> uint32_t { return 0; }, [](const char*, size_t) {}, [] {}, [] {},
                       [] {}, nullptr});
    }
    ScratchFolder folder("bench_noisy");
    const std::string log = folder / "java.log";
    std::string exeFolder = folder.path() + "\\";
    launcherState.exeDirectory = &exeFolder[0];
    launcherState.runtimeDirectory = launcherState.exeDirectory;  // a plain folder: the same
    folder.placeStandIn("rt\\bin\\java.exe",
                        "log=" + log + "\naction=window\nstderr-bytes=204800\n");
    std::vector<double> millis;
    for (int i = 0; i < runs; ++i) {
        DeleteFileA(log.c_str());
        if (!watchOnce(runAndWatch, folder / "rt", log, millis)) {
            fprintf(stderr, "run %d: the noisy runtime's window was not detected\n", i);
        }
    }
    if (logOn) closeLaunchLog();
    launcherState.exeDirectory = nullptr;
    launcherState.runtimeDirectory = launcherState.exeDirectory;
    return millis;
}

// How long each of `runs` collections of runtimes takes, and how many the last one listed.
std::vector<double> timeCollector(void (*collect)(RuntimeList&), int runs, size_t& listed) {
    std::vector<double> millis;
    for (int i = 0; i < runs; ++i) {
        RuntimeList list;
        const long long before = nowMicros();
        collect(list);
        millis.push_back((nowMicros() - before) / 1000.0);
        listed = 0;
        for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next) ++listed;
    }
    return millis;
}

std::vector<double> registryScan(int runtimes, int runs) {
    CleanRuntimeKeys clean;
    const char* keys[] = {"Java Runtime Environment", "Java Plug-in", "Java Development Kit"};
    for (int i = 0; i < runtimes; ++i) {
        const std::string name = "1." + std::to_string(i % 9) + "." + std::to_string(i / 9 % 10) +
                                 "_" + std::to_string(i);
        registerRuntime(keys[i % 3], name, "C:\\Runtimes\\rt" + std::to_string(i % 700));
    }
    size_t listed = 0;
    std::vector<double> millis = timeCollector(collectInstalledRuntimes, runs, listed);
    printf("registry: %d registered runtimes, %zu distinct homes listed\n", runtimes, listed);
    return millis;
}

// The search for the runtimes that nothing registers, over 100 homes spread across its places
// (each with bin\java.exe and a release file), the place variables pointing into a scratch folder
// laid out as a machine is: the user's AppData in the profile, and the machine-wide Scoop folder
// named by SCOOP_GLOBAL, where the owners of its homes are checked.
std::vector<double> unregisteredSearch(int runs) {
    ScratchFolder places("bench_places");
    const char* const variables[] = {"ProgramW6432", "ProgramFiles(x86)", "LOCALAPPDATA",
                                     "USERPROFILE",  "APPDATA",           "SCOOP_GLOBAL"};
    const char* const folders[] = {"PF\\Java",
                                   "PF\\Zulu",
                                   "PF86\\Eclipse Adoptium",
                                   "User\\AppData\\Local\\Programs\\Microsoft",
                                   "User\\.jdks",
                                   "User\\.gradle\\jdks",
                                   "User\\scoop\\apps",
                                   "User\\AppData\\Roaming\\.minecraft\\runtime",
                                   "Data\\scoop\\apps"};
    const char* const roots[] = {
        "PF", "PF86", "User\\AppData\\Local", "User", "User\\AppData\\Roaming", "Data\\scoop"};
    std::vector<std::string> saved;
    for (size_t i = 0; i < 6; ++i) {
        char value[MAX_PATH] = "";
        GetEnvironmentVariableA(variables[i], value, sizeof value);
        saved.push_back(value);
        SetEnvironmentVariableA(variables[i], (places / roots[i]).c_str());
    }
    for (int i = 0; i < 100; ++i) {
        const std::string folder = folders[i % 9];
        std::string home = folder + "\\rt" + std::to_string(i);
        if (folder.find("scoop") != std::string::npos) home += "\\current";
        if (folder.find("minecraft") != std::string::npos) {
            home += "\\windows-x64\\rt" + std::to_string(i);
        }
        places.writeFile(home + "\\bin\\java.exe", "MZ");
        places.writeFile(home + "\\release", "JAVA_VERSION=\"17.0." + std::to_string(i) + "\"\n");
    }
    size_t listed = 0;
    std::vector<double> millis = timeCollector(collectUnregisteredRuntimes, runs, listed);
    for (size_t i = 0; i < 6; ++i) {
        SetEnvironmentVariableA(variables[i], saved[i].empty() ? nullptr : saved[i].c_str());
    }
    printf("unregistered: 100 homes placed, %zu listed\n", listed);
    return millis;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 20;
    std::vector<WatchCase> random = {{runAndWatch, false, {}}};
    detectionLatency(random, runs, false);
    printFigure("window detection latency", random[0].millis, "ms");
    std::vector<WatchCase> cases = {{directChildWatch, false, {}},
                                    {runAndWatch, false, {}},
                                    {runAndWatch, true, {}},
                                    {runAndWatch, false, {}, 100}};
    detectionLatency(cases, runs, true);
    printFigure("mid-cycle latency, the child alone (before)", cases[0].millis, "ms");
    printFigure("mid-cycle latency, with its descendants", cases[1].millis, "ms");
    printFigure("mid-cycle latency, from the window's making", cases[1].afterMade, "ms");
    printFigure("mid-cycle latency, window in a grandchild", cases[2].millis, "ms");
    printFigure("mid-cycle latency, window titled 100 ms later", cases[3].millis, "ms");
    if (!cases[0].millis.empty() && !cases[1].millis.empty()) {
        printf("%-48s %.2fx the child alone\n", "watch with descendants (medians)",
               median(cases[1].millis) / median(cases[0].millis));
    }
    const std::vector<double> quiet = noisyRuntimeLatency(runs, false);
    const std::vector<double> noisy = noisyRuntimeLatency(runs, true);
    printFigure("window after 200 KiB of error output, log off", quiet, "ms");
    printFigure("window after 200 KiB of error output, log on", noisy, "ms");
    if (!quiet.empty() && !noisy.empty()) {
        printf("%-48s %+.1f ms\n", "log on later than log off (medians)",
               median(noisy) - median(quiet));
    }
    // The floor in its steps and the launcher beside the full floor; then, from the full floor,
    // the log's floor in its steps, and the launcher with its log on beside the last of them.
    enum { trivial, floor0, floor1, floor2, floor3, fullFloor, launcher, log5, log6, log7, log8 };
    std::vector<StartupProgram> start = {
        {"trivial.exe", "start of a trivial program under Wine", "", -1, false},
        {"launch_floor_0.exe", "bare floor to runtime start", "", -1, false},
        {"launch_floor_1.exe", "floor with manifest, resources", "manifest and resources", floor0,
         false},
        {"launch_floor_2.exe", "floor with those, DLL search rule", "DLL search restriction",
         floor1, false},
        {"launch_floor_3.exe", "floor with those, wide look-ups", "wide folder look-ups", floor2,
         false},
        {"launch_floor.exe", "floor start to runtime start (local java)", "wait for the runtime",
         floor3, false},
        {"launcher.exe", "launcher start to runtime start (local java)", "the launcher's own code",
         fullFloor, false},
        {"launch_floor_5.exe", "log floor: its name and first lines", "log: name and first lines",
         fullFloor, true},
        {"launch_floor_6.exe", "log floor: with the pipe and list", "log: pipe and list", log5,
         true},
        {"launch_floor_7.exe", "log floor: with the extended start", "log: extended start", log6,
         true},
        {"launch_floor_8.exe", "log floor: with the read that waits", "log: the read that waits",
         log7, true},
        {"launcher.exe", "launcher with its log on, to runtime start", "log: the launcher's code",
         log8, true}};
    startupOverhead(start, argc > 2 ? atoi(argv[2]) : std::max(5, 5 * runs));
    for (const StartupProgram& program : start) {
        printFigure(program.figure, program.millis, "ms");
        if (!program.made.empty() && &program != &start[trivial]) {
            printf("%-48s made %.1f, own code %.1f, runtime's start %.1f ms (lower quartiles)\n",
                   (std::string("parts: ") + program.figure).substr(0, 48).c_str(),
                   lowerQuartile(program.made), lowerQuartile(program.ownCode),
                   lowerQuartile(program.runtimeStart));
        }
        // Each step beside the program it adds to: what that step costs.
        if (program.beside >= 0 && !program.millis.empty() &&
            !start[program.beside].millis.empty()) {
            printf("%-48s %+.1f ms\n", (std::string("step: ") + program.step).c_str(),
                   lowerQuartile(program.millis) - lowerQuartile(start[program.beside].millis));
        }
    }
    std::vector<double> plainStart, pipedStart;
    runtimeStartBesideThePipe(std::max(5, 5 * runs), plainStart, pipedStart);
    printFigure("runtime's start, parent idle, no pipe", plainStart, "ms");
    printFigure("runtime's start, parent idle, the log's pipe", pipedStart, "ms");
    if (!plainStart.empty() && !pipedStart.empty()) {
        printf("%-48s %+.1f ms (lower quartiles)\n", "step: log: pipe's cost to the runtime",
               lowerQuartile(pipedStart) - lowerQuartile(plainStart));
    }
    printRatio("launcher beside the floor", start[launcher], start[fullFloor], "the floor");
    printRatio("log on beside the log's floor", start.back(), start[log8], "the log's floor");
    printRatio("log on beside log off", start.back(), start[launcher], "the log off");
    printFigure("registry scan of 1,000 runtimes", registryScan(1000, 5), "ms");
    printFigure("unregistered search of 100 homes", unregisteredSearch(5), "ms");
    return 0;
}
