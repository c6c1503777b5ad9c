#include "app/CMrv508App.h"

int main(int argc, char** argv)
{
    CMrv508App app(argc, argv);
    return app.Run();
}
