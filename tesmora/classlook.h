#pragma once

#include "classsettings.h"
#include "topiccatalog.h"

#include <QStringList>

// The trainer's first look at the class folders: the topics to choose from
// and what is wrong with either folder, for the pupil to read in the window
// (a mistyped folder otherwise leaves a lesson on the wrong topic unsaid).
struct ClassLook
{
    QList<TopicCatalog::Topic> found;
    QStringList problems;

    // search: the topics are to be found, not named by a folder. Nothing
    // of a class folder when its server takes longer than the patience to
    // answer (one that hangs), and that said; a thread left behind on it
    // ends with the program.
    static ClassLook within(const ClassSettings &settings, bool search, int milliseconds);
    static ClassLook now(const ClassSettings &settings, bool search);
};
