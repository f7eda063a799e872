#pragma once

#include "topicfile.h"

#include <QStringList>
#include <QVector>

// Pairs taken from a table or a question file for a topic, and what of it was
// not taken, so the teacher sees what to add by hand.
struct ImportedPairs
{
    QVector<TopicPair> pairs;
    QStringList skipped; // one line per thing left out, in Russian, with the reason
    QStringList changed; // what was taken otherwise than written, so that the trainer reads it
};
