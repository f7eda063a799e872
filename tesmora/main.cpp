#include "forms/appsetup.h"
#include "trainerform.h"

int main(int argc, char *argv[])
{
    return AppSetup::run<TrainerForm>(argc, argv, "tesmora");
}
