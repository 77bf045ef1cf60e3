// display_claim.cpp -- the kiosk's X selection and the process number beside it.
#include "kiosk/display_claim.h"

#include <X11/Xatom.h>  // Required for: XA_CARDINAL
#include <X11/Xlib.h>   // Required for: XOpenDisplay(), XSetSelectionOwner(), XChangeProperty()

#include <cerrno>     // Required for: errno, EPERM
#include <csignal>    // Required for: kill()
#include <cstdio>     // Required for: std::fprintf()
#include <unistd.h>   // Required for: getpid()

namespace {

const char selection_name[] = "_VEVUV_KIOSK";   // owned by the running kiosk
const char pid_property_name[] = "_VEVUV_KIOSK_PID"; // its process number, on the owner window

// Kept open for the whole run: closing it gives the selection up.
Display* claim_connection = nullptr;

// The process number written on the owner window, or 0 when there is none.
long owner_process(Display* display, Window owner)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, pid_property_name, False);
    long pid = 0;
    if (XGetWindowProperty(display, owner, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &left, &data) == Success
        && type == XA_CARDINAL && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data != nullptr)
        XFree(data);
    return pid;
}

// True while the process runs. A kiosk that has just ended can still own the
// selection until the X server has seen its connection close.
bool process_alive(long pid)
{
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// A small unmapped window of ours that owns the selection and carries our process number.
Window make_owner_window(Display* display)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const long pid = long(getpid());
    XChangeProperty(display, window, XInternAtom(display, pid_property_name, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    return window;
}

} // namespace

// Claims the display, or says who holds it.
bool claim_kiosk_display()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return true;  // GLUT says why it cannot open the display either
    const Atom selection = XInternAtom(display, selection_name, False);
    // With the server grabbed no other kiosk can claim between the look and the claim.
    XGrabServer(display);
    const Window owner = XGetSelectionOwner(display, selection);
    const long pid = owner != None ? owner_process(display, owner) : 0;
    if (owner != None && process_alive(pid)) {
        XUngrabServer(display);
        std::fprintf(stderr, "vevuv: another kiosk (process %ld) holds display %s; ending\n", pid,
                     DisplayString(display));
        XCloseDisplay(display);
        return false;
    }
    XSetSelectionOwner(display, selection, make_owner_window(display), CurrentTime);
    XUngrabServer(display);
    XSync(display, False);
    claim_connection = display;
    return true;
}
