// Small owners for the DC and GDI objects of one paint or one status update, so that every exit
// path gives back what it took, in reverse order of taking.
#pragma once

#include <windows.h>

template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() {
        if (handle_ != nullptr) DeleteObject(handle_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    operator Handle() const { return handle_; }

private:
    Handle handle_;
};

// Selects an object into a DC and puts back whatever was there before when the scope ends.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
