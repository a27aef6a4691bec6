#include "app/CTarnwickApp.h"
#include "control/CoreLifetime.h"

int main(int argc, char** argv) {
    const tarnwick::CoreLifetime core;
    tarnwick::CTarnwickApp app(argc, argv);
    return app.Run();
}
