// StartXPicture and PaintXPicture, through Xlib and XRender beside SDL.
#include "x11_picture.h"

#include "x11_monitors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/Xrender.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <vector>

#include "monitors.h"
#include "present.h"
#include "x11_window.h"

namespace gdi8 {

namespace {

Display* XDisplay = nullptr;
Pixmap FramePixmap = 0;
GC FrameGc = nullptr;
Picture Source = 0;       // the frame, on the server
Picture Destination = 0;  // the window
// The frame as 32-bit pixels: memory shared with the X server, which reads
// the pixmap straight from it; or, where it cannot be shared, memory of this
// side that Image sends over.
uint32_t* Texels = nullptr;
std::vector<uint32_t> OwnTexels;
XImage* Image = nullptr;
int FrameWidth = 0, FrameHeight = 0;
std::vector<MonitorPicture> Placed;  // where the last frame went
int ScaledWidth = 0, ScaledHeight = 0;  // the size the frame is scaled to
// The root window spans every monitor: one picture on each, as XRandR
// lists them, read again when it says that they changed.
bool RootWindow = false;
int RandrEvents = -1;  // XRandR's first event code; -1 without XRandR 1.5
bool MonitorsStale = true;
std::vector<Box> Monitors;

bool XFailed = false;
int NoteXFailure(Display*, XErrorEvent*) {
    XFailed = true;
    return 0;
}

// The pixmap in memory shared with the X server; false where the server
// cannot share memory with this process (another machine's, say).
bool ShareFrame(Window id) {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (!XShmQueryVersion(XDisplay, &major, &minor, &pixmaps) || !pixmaps ||
        XShmPixmapFormat(XDisplay) != ZPixmap)
        return false;
    const size_t bytes = static_cast<size_t>(FrameWidth) * static_cast<size_t>(FrameHeight) * 4;
    static XShmSegmentInfo segment;
    segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment.shmid < 0) return false;
    segment.shmaddr = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    segment.readOnly = False;  // a pixmap's memory is the server's to draw in too
    XFailed = false;
    const XErrorHandler before = XSetErrorHandler(NoteXFailure);
    if (segment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(XDisplay, &segment))
        FramePixmap = XShmCreatePixmap(XDisplay, id, segment.shmaddr, &segment,
                                       static_cast<unsigned>(FrameWidth),
                                       static_cast<unsigned>(FrameHeight), 24);
    XSync(XDisplay, False);
    XSetErrorHandler(before);
    // Gone with the last process that has it attached.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (!FramePixmap || XFailed) return false;
    Texels = reinterpret_cast<uint32_t*>(segment.shmaddr);
    return true;
}

// An image of 32-bit pixels in this processor's byte order over Texels.
XImage* MakeImage(Visual* visual) {
    XImage* image = XCreateImage(XDisplay, visual, 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(Texels),
                                 static_cast<unsigned>(FrameWidth),
                                 static_cast<unsigned>(FrameHeight), 32, FrameWidth * 4);
    if (!image || image->bits_per_pixel != 32) return nullptr;
    const uint32_t one = 1;
    image->byte_order = *reinterpret_cast<const uint8_t*>(&one) ? LSBFirst : MSBFirst;
    return image;
}

// The bars: black everywhere in each monitor but its picture.
void PaintBars(const std::vector<MonitorPicture>& layout) {
    const XRenderColor black{0, 0, 0, 0xFFFF};
    for (const MonitorPicture& part : layout) {
        const Box& m = part.monitor;
        const Box& box = part.picture;
        const XRectangle bars[] = {
            {static_cast<short>(m.x), static_cast<short>(m.y),
             static_cast<unsigned short>(box.x - m.x), static_cast<unsigned short>(m.height)},
            {static_cast<short>(box.x + box.width), static_cast<short>(m.y),
             static_cast<unsigned short>(m.x + m.width - box.x - box.width),
             static_cast<unsigned short>(m.height)},
            {static_cast<short>(m.x), static_cast<short>(m.y), static_cast<unsigned short>(m.width),
             static_cast<unsigned short>(box.y - m.y)},
            {static_cast<short>(m.x), static_cast<short>(box.y + box.height),
             static_cast<unsigned short>(m.width),
             static_cast<unsigned short>(m.y + m.height - box.y - box.height)},
        };
        XRenderFillRectangles(XDisplay, PictOpSrc, Destination, &black, bars, 4);
    }
}

// Scales the frame to a box of width x height, where it is not already: a
// window pixel at (x, y) of the box shows the frame's pixel nearest
// (x, y) x frame size / box size.
void ScaleTo(int width, int height) {
    if (width == ScaledWidth && height == ScaledHeight) return;
    XTransform scale{};
    scale.matrix[0][0] = XDoubleToFixed(static_cast<double>(FrameWidth) / width);
    scale.matrix[1][1] = XDoubleToFixed(static_cast<double>(FrameHeight) / height);
    scale.matrix[2][2] = XDoubleToFixed(1);
    XRenderSetPictureTransform(XDisplay, Source, &scale);
    ScaledWidth = width;
    ScaledHeight = height;
}

// Listens for XRandR's word that the monitors changed, where the server
// lists monitors (XRandR 1.5).
void FollowMonitors(Window root) {
    int events = 0, errors = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(XDisplay, &events, &errors) ||
        !XRRQueryVersion(XDisplay, &major, &minor) || major * 100 + minor < 105)
        return;
    RandrEvents = events;
    XRRSelectInput(XDisplay, root,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

// The monitors that XRandR lists as active, on the root window.
void ReadMonitors(Window root) {
    MonitorsStale = false;
    Monitors = RandrEvents < 0 ? std::vector<Box>{} : RandrMonitors(XDisplay, root);
}

Window Root() { return DefaultRootWindow(XDisplay); }

}  // namespace

bool StartXPicture(SDL_Window* window, unsigned long id, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    XDisplay = info.info.x11.display;
    int eventBase = 0, errorBase = 0;
    XWindowAttributes attributes;
    if (!XRenderQueryExtension(XDisplay, &eventBase, &errorBase) ||
        !XGetWindowAttributes(XDisplay, id, &attributes))
        return false;
    XRenderPictFormat* windowFormat = XRenderFindVisualFormat(XDisplay, attributes.visual);
    XRenderPictFormat* frameFormat = XRenderFindStandardFormat(XDisplay, PictStandardRGB24);
    if (!windowFormat || !frameFormat) return false;
    FrameWidth = width;
    FrameHeight = height;
    if (!ShareFrame(id)) {
        OwnTexels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        Texels = OwnTexels.data();
        Image = MakeImage(attributes.visual);
        if (!Image) return false;
        FramePixmap = XCreatePixmap(XDisplay, id, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height), 24);
        FrameGc = XCreateGC(XDisplay, FramePixmap, 0, nullptr);
    }
    Source = XRenderCreatePicture(XDisplay, FramePixmap, frameFormat, 0, nullptr);
    XRenderSetPictureFilter(XDisplay, Source, FilterNearest, nullptr, 0);
    Destination = XRenderCreatePicture(XDisplay, id, windowFormat, 0, nullptr);
    // Once the window is gone, so is its picture: an error about either
    // means the end.
    EndWithXWindow(Destination);
    RootWindow = id == Root();
    if (RootWindow) FollowMonitors(id);
    XSync(XDisplay, False);
    return true;
}

void PaintXPicture(const uint8_t* pixels, const uint32_t colours[256], int areaWidth,
                   int areaHeight, bool bars) {
    if (RootWindow && MonitorsStale) ReadMonitors(Root());
    const std::vector<MonitorPicture> layout =
        PicturesOnMonitors(RootWindow ? Monitors : std::vector<Box>{},
                           Box{0, 0, areaWidth, areaHeight}, FrameWidth, FrameHeight);
    if (bars || !SameLayout(layout, Placed)) PaintBars(layout);
    Placed = layout;
    bool expanded = false;
    for (const MonitorPicture& part : layout) {
        const Box& box = part.picture;
        if (box.width <= 0 || box.height <= 0) continue;
        if (!expanded) {
            // The server is done with the last frame (XSync below).
            ExpandFrame(pixels, static_cast<size_t>(FrameWidth) * static_cast<size_t>(FrameHeight),
                        colours, Texels);
            if (Image)
                XPutImage(XDisplay, FramePixmap, FrameGc, Image, 0, 0, 0, 0,
                          static_cast<unsigned>(FrameWidth), static_cast<unsigned>(FrameHeight));
            expanded = true;
        }
        ScaleTo(box.width, box.height);
        XRenderComposite(XDisplay, PictOpSrc, Source, None, Destination, 0, 0, 0, 0, box.x, box.y,
                         static_cast<unsigned>(box.width), static_cast<unsigned>(box.height));
    }
    // Waits for the server: frames never pile up in its queue.
    XSync(XDisplay, False);
}

void NoteMonitorEvent(const void* xevent) {
    const int type = static_cast<const XEvent*>(xevent)->type;
    if (RandrEvents >= 0 && (type == RandrEvents + RRScreenChangeNotify || type == RandrEvents + RRNotify))
        MonitorsStale = true;
}

}  // namespace gdi8
