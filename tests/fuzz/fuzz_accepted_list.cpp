// Accepted-list files ("autostart.dat", "processes.dat") of arbitrary bytes:
// reading must stay within the bytes, allocate no more than they can justify,
// and what was read must be written and read back unchanged.
#include "app/AcceptedListFormat.h"
#include "app/Archive.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::vector<AcceptedItem> items;
    ParseAcceptedList(bytes, items);
    Require(items.size() <= size / kAcceptedRecordMinBytes);
    Require(items.capacity() <= size / kAcceptedRecordMinBytes);
    size_t pathBytes = 0;
    for (const AcceptedItem& item : items) {
        pathBytes += item.path.size();
    }
    Require(pathBytes <= size);

    const std::string written = FormatAcceptedList(items);
    std::vector<AcceptedItem> again;
    Require(ParseAcceptedList(written, again));
    Require(again == items);
    Require(FormatAcceptedList(again) == written);

    // The strings alone, read one after the other until the bytes end.
    ArchiveReader reader(data, size);
    std::string text;
    size_t before = reader.Remaining();
    while (reader.ReadString(text)) {
        Require(text.size() <= before);
        Require(reader.Remaining() < before);
        before = reader.Remaining();
    }
    return 0;
}
