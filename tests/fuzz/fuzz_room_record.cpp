// fuzz_room_record.cpp -- libFuzzer harness for the room record loader: the
// input is a whole "Department.xml", validated against the shipped DTD
// beside it and searched for a few room texts through our XML layer.
#include "tests/fuzz/fuzz_support.h"

#include "directory/room_record.h"

namespace {
constexpr const char* department_name = "Department.xml";
// Texts a lookup asks for: a room of the shipped floor, a missing one, an
// element name and an empty text.
constexpr const char* room_texts[] = {"301", "999", "Room", ""};
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::make_scratch_directory();
    const fuzz::InScratchDirectory in_scratch;
    std::filesystem::copy_file(std::string(VEVUV_SHIPPED_DATA) + "/Department.dtd", "Department.dtd",
                               std::filesystem::copy_options::overwrite_existing);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A document that does not parse ends the first lookup, as it would every other.
    fuzz::read_input_as(department_name, data, size, [] {
        for (const char* text : room_texts) {
            RoomRecord record{};
            current_record = &record;
            load_room_record(text);
            // Text fields must stay terminated inside their arrays.
            if (__builtin_strlen(record.Publications) >= sizeof record.Publications
                || __builtin_strlen(record.Introduction_Text) >= sizeof record.Introduction_Text)
                __builtin_trap();
        }
    });
    current_record = nullptr;
    return 0;
}
