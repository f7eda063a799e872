// Saves the table that the save tests expect as "new" into the folder given,
// as the editor would: run by the tests under strace, which kills it at a
// chosen system call, so that the save is cut short for real.
#include "topicfile.h"
#include "topictables.h"

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const TopicSave::Result result
        = TopicFile::save(QString::fromLocal8Bit(argv[1]), TopicTables::newPairs(), TopicFile::Encoding::Utf8);
    return result.saved ? 0 : 1;
}
