// Fuzzes the topic editor's promise: any table its save accepts is read back
// by the trainer's reader exactly as shown, in either encoding; and reading
// any pair of files never fails. The input's first byte picks the encoding;
// the rest, as UTF-8, holds the entries, separated by the byte 0x01.
#include "topicfile.h"

#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto encoding = (data[0] & 1) ? TopicFile::Encoding::Utf8 : TopicFile::Encoding::Windows1251;
    const QStringList entries = QString::fromUtf8(bytes.mid(1)).split(QChar(1));
    QVector<TopicPair> pairs;
    for (int k = 0; k + 1 < entries.size(); k += 2)
        pairs.append({entries[k], entries[k + 1]});

    if (!TopicFile::check(pairs, encoding)) {
        QStringList questions, answers;
        QVector<TopicPair> shown;
        for (const TopicPair &pair : pairs) {
            shown.append({TopicFile::clean(pair.question), TopicFile::clean(pair.answer)});
            questions << shown.last().question;
            answers << shown.last().answer;
        }
        const TopicFile::Loaded back
            = TopicFile::parse(TopicFile::encode(questions, encoding), TopicFile::encode(answers, encoding));
        if (back.pairs != shown || !back.messages.isEmpty())
            std::abort();
    }
    // The raw input as a pair of topic files.
    const qsizetype half = bytes.size() / 2;
    TopicFile::parse(bytes.left(half), bytes.mid(half));
    return 0;
}
