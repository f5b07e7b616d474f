/* Starts a program and times it from exec until its window has been mapped and first painted
 * on the X server, then ends it and reports its peak resident memory.
 *
 *   show_watch TITLE SETTLE_MS PROGRAM [ARGS...]
 *
 * Prints one line: "map_ms paint_ms peak_rss_kib settled_ms cpu_ms".
 *   map_ms   from just before fork() to the MapNotify of a top-level window named TITLE;
 *   paint_ms to the first DAMAGE report of drawing into that window after its map (the program's
 *            first paint of it);
 *   peak_rss_kib  ru_maxrss of the program from wait4(), after it has idled SETTLE_MS more
 *            milliseconds past the first paint and been ended with SIGTERM (the same figure
 *            /usr/bin/time -f %M prints);
 *   settled_ms  to the last DAMAGE report before the drawing into the window first pauses for
 *            200 ms (kQuietMs): the window drawn complete. A Qt window arrives in one frame and
 *            settles at its first paint; a Win32 window under Wine arrives as its frame first,
 *            then control by control as each paints itself;
 *   cpu_ms   the processor time the program's threads had used by then (from the scheduler's
 *            statistics in /proc), which a busy machine disturbs far less than the times.
 * Without a window manager every top-level window is a child of the root window, so listening
 * for SubstructureNotify on the root sees its map. Both programs under comparison are watched
 * by this same code, so whatever it costs falls equally on both. Windows programs run the same
 * way under Wine without a virtual desktop, with unmanaged windows (run_startup_windows.sh). */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* The window's title, from _NET_WM_NAME (UTF-8) or else WM_NAME. */
static int has_title(Display* dpy, Window w, const char* title) {
    Atom net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    int match = 0;
    if (XGetWindowProperty(dpy, w, net_wm_name, 0, 1024, False, utf8, &type, &format, &n, &after,
                           &data) == Success &&
        data) {
        match = strcmp((const char*)data, title) == 0;
        XFree(data);
        if (match)
            return 1;
    }
    char* name = NULL;
    if (XFetchName(dpy, w, &name) && name) {
        match = strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

/* Wine makes InputOnly top-level windows, on which no DAMAGE object can be made, and a window
 * can be gone before its DAMAGE object is made: errors of DAMAGE requests are ignored. Any other
 * X error ends the watcher, as Xlib's own handler would. */
static int damage_request;
static int on_x_error(Display* dpy, XErrorEvent* error) {
    if (error->request_code == damage_request)
        return 0;
    char text[256];
    XGetErrorText(dpy, error->error_code, text, sizeof text);
    fprintf(stderr, "show_watch: X error: %s (request %d)\n", text, error->request_code);
    exit(2);
}

enum { kQuietMs = 200 };

/* The processor time in ms all threads of a process have used so far: the first field of each
 * /proc/PID/task/TID/schedstat, in nanoseconds. */
static double cpu_ms_of(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR* tasks = opendir(path);
    if (!tasks)
        return -1;
    double total_ns = 0;
    struct dirent* task;
    while ((task = readdir(tasks)) != NULL) {
        if (task->d_name[0] == '.')
            continue;
        char stat_path[sizeof path + sizeof task->d_name + 16];
        snprintf(stat_path, sizeof stat_path, "%s/%s/schedstat", path, task->d_name);
        FILE* stat = fopen(stat_path, "r");
        unsigned long long ns = 0;
        if (stat) {
            if (fscanf(stat, "%llu", &ns) == 1)
                total_ns += (double)ns;
            fclose(stat);
        }
    }
    closedir(tasks);
    return total_ns / 1e6;
}

/* Waits up to timeout_ms for an X event; returns 1 when one is pending. */
static int wait_event(Display* dpy, double deadline) {
    while (!XPending(dpy)) {
        double left = deadline - now_ms();
        if (left <= 0)
            return 0;
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, (int)left + 1);
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s TITLE SETTLE_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const char* title = argv[1];
    int settle_ms = atoi(argv[2]);
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "show_watch: cannot open display\n");
        return 2;
    }
    int damage_event, damage_error;
    int first_event;
    if (!XDamageQueryExtension(dpy, &damage_event, &damage_error) ||
        !XQueryExtension(dpy, "DAMAGE", &damage_request, &first_event, &damage_error)) {
        fprintf(stderr, "show_watch: no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(on_x_error);
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double deadline = start + 30000;
    double map_ms = -1, paint_ms = -1;
    Window shown = 0;
    /* A DAMAGE object made on a window that is already visible reports the whole window at
     * once; one made while the window is still unmapped reports only what is drawn after the
     * map. So every new top-level window gets its DAMAGE object as soon as it is created. */
    enum { kMaxWindows = 64 };
    Window windows[kMaxWindows];
    Damage damages[kMaxWindows];
    int count = 0;
    while (paint_ms < 0 && wait_event(dpy, deadline)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == CreateNotify && ev.xcreatewindow.parent == root && count < kMaxWindows) {
            windows[count] = ev.xcreatewindow.window;
            damages[count] = XDamageCreate(dpy, windows[count], XDamageReportNonEmpty);
            ++count;
        } else if (ev.type == MapNotify && !shown && ev.xmap.event == root &&
                   has_title(dpy, ev.xmap.window, title)) {
            map_ms = now_ms() - start;
            shown = ev.xmap.window;
            int known = 0;
            for (int i = 0; i < count; ++i)
                known |= windows[i] == shown;
            if (!known) {
                fprintf(stderr, "show_watch: window mapped before its creation was seen\n");
                kill(pid, SIGKILL);
                return 1;
            }
        } else if (ev.type == damage_event + XDamageNotify && shown &&
                   ((XDamageNotifyEvent*)&ev)->drawable == shown) {
            paint_ms = now_ms() - start;
            /* Taken off the window's damage, so that the next drawing is reported too. */
            XDamageSubtract(dpy, ((XDamageNotifyEvent*)&ev)->damage, None, None);
        }
    }
    int status = 0;
    if (paint_ms < 0) {
        fprintf(stderr, "show_watch: no painted window \"%s\" within 30 s\n", title);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return 1;
    }
    /* The drawing that follows, until it pauses; a window that never pauses is given up on at
     * the end of SETTLE_MS. */
    double settled_ms = paint_ms;
    double cpu_ms = cpu_ms_of(pid);
    double settle_end = start + paint_ms + settle_ms;
    for (;;) {
        double quiet_end = start + settled_ms + kQuietMs;
        if (!wait_event(dpy, quiet_end < settle_end ? quiet_end : settle_end))
            break;
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == damage_event + XDamageNotify &&
            ((XDamageNotifyEvent*)&ev)->drawable == shown) {
            settled_ms = now_ms() - start;
            cpu_ms = cpu_ms_of(pid);
            XDamageSubtract(dpy, ((XDamageNotifyEvent*)&ev)->damage, None, None);
        }
    }
    for (int i = 0; i < count; ++i)
        XDamageDestroy(dpy, damages[i]);
    XCloseDisplay(dpy);
    double idle_left = settle_end - now_ms();
    if (idle_left > 0)
        usleep((useconds_t)(idle_left * 1000));
    kill(pid, SIGTERM);
    struct rusage ru;
    if (wait4(pid, &status, 0, &ru) < 0) {
        perror("show_watch: wait4");
        return 1;
    }
    printf("%.2f %.2f %ld %.2f %.2f\n", map_ms, paint_ms, ru.ru_maxrss, settled_ms, cpu_ms);
    return 0;
}
