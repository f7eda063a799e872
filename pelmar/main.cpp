#include "forms/appsetup.h"
#include "pelmarform.h"

int main(int argc, char *argv[])
{
    return AppSetup::run<PelmarForm>(argc, argv, "pelmar");
}
