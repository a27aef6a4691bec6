#include "app/CTarnwickApp.h"
#include "engine/net/NetLibrary.h"

int main(int argc, char** argv) {
    const tarnwick::NetLibrary netLibrary;
    tarnwick::CTarnwickApp app(argc, argv);
    return app.Run();
}
