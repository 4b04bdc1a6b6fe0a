// morvane [FILE.mrvn]: the station window.
#include "app/CMorvaneApp.h"

int main(int argc, char** argv) {
    morvane::app::CMorvaneApp app(argc, argv);
    return app.Run();
}
