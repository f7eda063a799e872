#include "doloranform.h"
#include "forms/appsetup.h"

int main(int argc, char *argv[])
{
    return AppSetup::run<DoloranForm>(argc, argv, "doloran");
}
