#include "appsetup.h"
#include "doloranform.h"

int main(int argc, char *argv[])
{
    return AppSetup::run<DoloranForm>(argc, argv, "doloran");
}
