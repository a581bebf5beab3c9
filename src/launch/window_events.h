// When the watch of a started child looks for the application's window. It looks once every
// 300 ms, the first time when the first 300 ms are over, at most 300 times. Windows tells the
// watch of windows that are created, shown or named (WinEvents): one of the child's family (the
// child and the processes it started, as the watch knows them) makes it look at once, but not
// before the first look, so that every specified outcome stays as it was.
#pragma once

#include <stdint.h>

const uint32_t watchPollMilliseconds = 300;
const int watchCycles = 300;  // 90 seconds in all

const uint32_t objectCreated = 0x8000;  // EVENT_OBJECT_CREATE
const uint32_t objectShown = 0x8002;    // EVENT_OBJECT_SHOW
const uint32_t objectNamed = 0x800C;    // EVENT_OBJECT_NAMECHANGE

// Whether an event is a window's own (OBJID_WINDOW, CHILDID_SELF, not a part of it) being
// created, shown or named, in a process of the child's family.
bool windowEventCounts(uint32_t event, int32_t object, int32_t child, bool ofFamily);

// Whether such an event may make the watch look at once, in the cycle that counts from 0: only
// after the first cycle's look.
inline bool eventMayLook(int cycle) {
    return cycle > 0;
}
