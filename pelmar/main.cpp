#include "core/commandline.h"
#include "forms/appsetup.h"
#include "pelmarform.h"

int main(int argc, char *argv[])
{
    const CommandLine::Program program{
        "pelmar",
        QStringLiteral("Использование: pelmar\n"
                       "Лабораторная работа: массивы — поиск минимума и максимума, сортировка.\n\n"
                       "  --help         эта справка\n"
                       "  --version      версия программы\n"),
        {},
        {}};
    if (const std::optional<int> status = CommandLine::answer(argc, argv, program))
        return *status;
    return AppSetup::run<PelmarForm>(argc, argv, "pelmar");
}
