// Fuzz target of the INI engine: a file and a run of reads and writes on it. Every write must
// change its own line only, every other entry must read as before, and a document of the same
// writes must give the same bytes and answers.
#include "localisation/ProfileText.h"

#include "localisation/ProfileInvariant.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Violated(const char *what, const QString &detail, const QByteArray &file)
{
    std::fprintf(stderr, "invariant violated: %s: %s\nfile: %s\n", what, detail.toUtf8().constData(),
                 file.toPercentEncoding().constData());
    std::abort();
}

QByteArray Bytes(FuzzedDataProvider &input, size_t most)
{
    const std::string text = input.ConsumeRandomLengthString(most);
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QByteArray file = Bytes(input, 4096);
    ProfileText::Document document(file);
    while (input.remaining_bytes() > 0) {
        const int operation = input.ConsumeIntegralInRange(0, 4);
        const QByteArray section = Bytes(input, 12);
        const QByteArray key = Bytes(input, 12);
        if (operation == 0) {
            (void)ProfileText::SectionNames(file);
            (void)ProfileText::KeyNames(file, section);
            if (document.Value(section, key) != ProfileText::Value(file, section, key))
                Violated("document reads differently", QString::fromLatin1(key), file);
        } else if (operation <= 2) {
            const QByteArray value = Bytes(input, 12);
            if (!ProfileText::IsSoundSectionName(section) || !ProfileText::IsSoundKey(key)
                || !ProfileText::IsSoundValue(value) || section != section.trimmed() || key != key.trimmed())
                continue;
            const QByteArray after = ProfileText::WithEntry(file, section, key, value);
            const QString broken = ProfileInvariant::EntryWritten(file, after, section, key, value);
            if (!broken.isEmpty())
                Violated("entry write", broken, file);
            document.SetEntry(section, key, value);
            file = after;
            if (operation == 2 && document.Bytes() != file)
                Violated("document bytes differ", QString(), file);
        } else {
            const bool wholeSection = operation == 4;
            const QByteArray after = wholeSection ? ProfileText::WithoutSection(file, section)
                                                  : ProfileText::WithoutKey(file, section, key);
            const QString broken = ProfileInvariant::OthersUnchanged(
                file, after, section, wholeSection ? std::nullopt : std::optional<QByteArrayView>(key));
            if (!broken.isEmpty() || ProfileText::Value(after, section, key))
                Violated("deletion", broken, file);
            file = after;
            document = ProfileText::Document(file);
        }
    }
    if (document.Bytes() != file)
        Violated("document bytes differ at the end", QString(), file);
    return 0;
}
