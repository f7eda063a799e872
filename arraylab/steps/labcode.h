#pragma once

#include "labobserver.h"

#include <QStringList>

#include <array>

// The algorithms the labs run, written out in the languages of the course,
// with the line that each kind of elementary action carries out.
class LabCode
{
public:
    enum class Operation {
        DeleteElement,
        DeleteRow,
        DeleteColumn,
        InsertRow,
        InsertColumn,
        MinLinear,
        MaxLinear,
        MinTable,
        MaxTable,
        SortLinear,
        SortTable,
    };
    enum class Language { Algorithmic, Pascal, Python };
    static constexpr std::array<Language, 3> Languages = {Language::Algorithmic, Language::Pascal, Language::Python};

    struct Listing
    {
        QStringList lines;
        // Index into lines for each LabObserver::Line; -1 where the algorithm has none.
        std::array<int, 9> lineOf{-1, -1, -1, -1, -1, -1, -1, -1, -1};
        int line(LabObserver::Line role) const { return lineOf[size_t(role)]; }
    };

    static Listing listing(Operation operation, Language language);
    static QString languageName(Language language);
    // Whether the operation works on the table rather than the linear array.
    static bool onTable(Operation operation);
    static bool isSort(Operation operation);
    static bool isSearch(Operation operation);
    static bool isMinimum(Operation operation);
};
