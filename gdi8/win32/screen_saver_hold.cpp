// HoldScreenSaverOff and ReleaseScreenSaver: a count of holders and the
// user's setting in a small named memory that every Kvo process of the
// session opens, read and changed under a named mutex. The memory lives as
// long as some process has it open, so once every Kvo process is gone, the
// next one starts afresh from the setting as it then is.
#include "screen_saver_hold.h"

#include <windows.h>

namespace gdi8 {

namespace {

struct Shared {
    LONG holders;        // Kvo windows holding the screen saver off
    BOOL userSetting;    // what the setting was before the first of them
};

// Kept open until the process ends: the memory lives while any holder does.
HANDLE Lock = nullptr;
HANDLE Memory = nullptr;
Shared* State = nullptr;

// The named objects of this logon session, made by the first to ask.
bool OpenShared() {
    if (State) return true;
    Lock = CreateMutexA(nullptr, FALSE, "Local\\Kvo.ScreenSaver.Lock");
    Memory = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                "Local\\Kvo.ScreenSaver");
    if (Memory) State = static_cast<Shared*>(MapViewOfFile(Memory, FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
    return Lock && State;
}

// The mutex; one left by a process that ended while holding it is ours too.
bool Enter() {
    const DWORD waited = WaitForSingleObject(Lock, 10000);
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

BOOL ScreenSaverActive() {
    BOOL active = TRUE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) active = TRUE;
    return active;
}

// Not written to the user profile: the next logon has the user's setting.
// Read back at once: under Wine, which keeps the setting in the X server,
// the request that changes it may otherwise still wait in a buffer when the
// process ends, right after the last window closed, and be lost.
void SetScreenSaverActive(BOOL active) {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0);
    ScreenSaverActive();
}

// Without the shared memory, this process alone: what it read, it restores.
BOOL OwnSetting = TRUE;

}  // namespace

void HoldScreenSaverOff() {
    if (!OpenShared() || !Enter()) {
        OwnSetting = ScreenSaverActive();
        State = nullptr;
        SetScreenSaverActive(FALSE);
        return;
    }
    if (State->holders++ == 0) State->userSetting = ScreenSaverActive();
    SetScreenSaverActive(FALSE);
    ReleaseMutex(Lock);
}

void ReleaseScreenSaver() {
    if (!State || !Enter()) {
        SetScreenSaverActive(State ? State->userSetting : OwnSetting);
        return;
    }
    if (--State->holders <= 0) {
        State->holders = 0;
        SetScreenSaverActive(State->userSetting);
    }
    ReleaseMutex(Lock);
}

}  // namespace gdi8
