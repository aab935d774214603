// The screen saver held off while a Kvo window is open, and the user's own
// setting put back when the last one closes. Kvo windows in several
// processes share one hold: the first to open reads the user's setting, the
// last to close restores it. Neither writes the user profile, so a process
// that is killed, and cannot restore the setting, leaves it only until the
// next logon.
#pragma once

namespace gdi8 {

// Switches the screen saver off; the first hold among every Kvo process
// remembers what the setting was.
void HoldScreenSaverOff();

// Ends this process's hold; the last one puts back the remembered setting.
// Only after HoldScreenSaverOff, once.
void ReleaseScreenSaver();

}  // namespace gdi8
