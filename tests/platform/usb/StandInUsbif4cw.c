/* A stand-in for the USB keying library: appends every call, one per line,
 * to the file named by MORVANE_USB_STANDIN_LOG; usbif4cwOpen answers -1
 * while MORVANE_USB_STANDIN_FAIL is set. */
#include <stdio.h>
#include <stdlib.h>

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
