#include "app/CTarnwickApp.h"

int main(int argc, char** argv) {
    tarnwick::CTarnwickApp app(argc, argv);
    return app.Run();
}
