// The runtime of the demonstration disc: it plays a Java runtime that starts the QuarVel
// application, by opening a window titled with "QuarVel" that shows what the launcher passed on:
// the system properties, the class path, the main class and the arguments. Like a real runtime it
// ends with exit code 1 when the main class is not the application's.
#include <windows.h>

#include <string>

namespace {

std::string shown;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            InflateRect(&client, -12, -12);
            SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextA(dc, shown.c_str(), -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string properties, classPath, mainClass, arguments;
    for (int i = 1; i < __argc; ++i) {
        const std::string arg = __argv[i];
        if (!mainClass.empty()) {
            arguments += (arguments.empty() ? "" : "  ") + arg;
        } else if (arg.compare(0, 2, "-D") == 0 || arg.compare(0, 3, "/d:") == 0) {
            properties += "    " + arg.substr(arg[0] == '-' ? 2 : 3) + "\n";
        } else if ((arg == "-cp" || arg == "-classpath" || arg == "/cp") && i + 1 < __argc) {
            classPath = __argv[++i];
        } else if (arg[0] != '-' && arg[0] != '/') {
            mainClass = arg;
        }
    }
    if (mainClass != "com.quarvel.browser.Browser") return 1;

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    shown = "QuarVel was started by the launcher.\n\nSystem properties:\n" + properties +
            "\nClass path:  " + classPath + "\nMain class:  " + mainClass +
            "\nArguments:  " + (arguments.empty() ? "(none)" : arguments) +
            "\nCurrent folder:  " + folder + "\n\nCommand line:\n" + GetCommandLineA();

    Sleep(1500);  // a runtime takes a moment to start: long enough to see the splash window
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "QuarVelDemonstration";
    RegisterClassA(&windowClass);
    CreateWindowA("QuarVelDemonstration", "QuarVel Browser (demonstration)",
                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 620, 400, nullptr, nullptr, instance,
                  nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
