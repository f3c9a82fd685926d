// The builder's CSV reader on any bytes: every field lies inside the buffer, and the
// reader ends (a record, the end or an error each time).
#include "CsvReader.h"

#include <cstdlib>
#include <vector>

using namespace mnemora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> buffer(data, data + size);
    char* begin = buffer.data();
    char* end = begin + buffer.size();
    CCsvReader reader(begin, end);
    std::vector<std::string_view> fields;
    for (size_t records = 0;; ++records) {
        const CCsvReader::Status status = reader.Next(fields);
        if (status != CCsvReader::Status::Record)
            break;
        if (records > size)
            std::abort(); // each record consumes input
        for (std::string_view f : fields)
            if (!f.empty() && (f.data() < begin || f.data() + f.size() > end))
                std::abort();
    }
    return 0;
}
