/* A stand-in for the USB keying library: appends every call, one per line,
 * to the file named by MORVANE_USB_STANDIN_LOG; usbif4cwOpen answers -1
 * while MORVANE_USB_STANDIN_FAIL is set, and, after logging, waits (at most
 * 5 s) until the file named by MORVANE_USB_STANDIN_OPEN_GATE exists. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static void WaitForGate(void) {
    const char* gate = getenv("MORVANE_USB_STANDIN_OPEN_GATE");
    struct timespec tick = {0, 1000000};
    for (int i = 0; gate != NULL && i < 5000 && access(gate, F_OK) != 0; ++i)
        nanosleep(&tick, NULL);
}

static void Record(const char* call, int a, int b, int c) {
    const char* path = getenv("MORVANE_USB_STANDIN_LOG");
    if (path == NULL)
        return;
    FILE* file = fopen(path, "a");
    if (file == NULL)
        return;
    fprintf(file, "%s %d %d %d\n", call, a, b, c);
    fclose(file);
}

int usbif4cwOpen(int index) {
    Record("open", index, 0, 0);
    WaitForGate();
    return getenv("MORVANE_USB_STANDIN_FAIL") != NULL ? -1 : 7;
}

int usbif4cwClose(int id) {
    Record("close", id, 0, 0);
    return 0;
}

#ifndef STANDIN_WITHOUT_WRITE
int usbif4cwWriteData(int id, int port, int value) {
    Record("write", id, port, value);
    return 0;
}
#endif
