#include "core/commandline.h"
#include "doloranform.h"
#include "forms/appsetup.h"

int main(int argc, char *argv[])
{
    const CommandLine::Program program{
        "doloran",
        QStringLiteral("Использование: doloran\n"
                       "Лабораторная работа: массивы — удаление и вставка элементов, строк и столбцов.\n\n"
                       "  --help         эта справка\n"
                       "  --version      версия программы\n"),
        {},
        {}};
    if (const std::optional<int> status = CommandLine::answer(argc, argv, program))
        return *status;
    return AppSetup::run<DoloranForm>(argc, argv, "doloran");
}
