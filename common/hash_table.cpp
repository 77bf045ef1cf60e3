// hash_table.cpp -- the grow-only chained hash table of names and ids.
#include "common/hash_table.h"

#include "common/process_exit.h"

#include <cstring>  // Required for: std::memcpy(), std::strlen()
#include <iostream> // Required for: std::cerr, std::endl
#include <new>      // Required for: std::nothrow

namespace {

// Writes the out-of-memory message and ends the process.
[[noreturn]] void report_out_of_space()
{
    std::cerr << "Out of space in HashTable !!" << std::endl;
    end_program(1);
}

} // namespace

// Builds an empty table; a size below 1 is taken as 1, since hash_of
// divides by the size and a table of no buckets could hold nothing.
HashTable::HashTable(int size)
    : size(size < 1 ? 1 : size), count(0), buckets(nullptr), entries(nullptr)
{
    buckets = new (std::nothrow) HashNode*[this->size];
    entries = new (std::nothrow) HashEntry*[this->size];
    if (buckets == nullptr || entries == nullptr)
        report_out_of_space();
    for (int i = 0; i < this->size; ++i) {
        buckets[i] = nullptr;
        entries[i] = nullptr;
    }
}

// Every node sits in exactly one chain and every entry at its id's index.
HashTable::~HashTable()
{
    for (int i = 0; i < size; ++i) {
        for (HashNode* node = buckets[i]; node != nullptr;) {
            HashNode* next = node->next;
            delete node;
            node = next;
        }
        if (entries[i] != nullptr)
            delete[] entries[i]->name;
        delete entries[i];
    }
    delete[] buckets;
    delete[] entries;
}

// Shifts the accumulator five bits and adds each byte as a signed value,
// so bytes of 0x80 and above subtract; the sum wraps modulo 2^32.
uint32_t HashTable::hash_of(const char* name) const
{
    uint32_t h = 0;
    for (const char* p = name; *p != '\0'; ++p) {
        const int32_t byte = static_cast<signed char>(*p);
        h = h * 32u + static_cast<uint32_t>(byte);
    }
    return h % static_cast<uint32_t>(size);
}

// Returns the id of the name, adding it at the head of its chain if new.
int HashTable::id_of(const char* name)
{
    const int found = find_id(name);
    if (found != 0)
        return found;

    const uint32_t bucket = hash_of(name);
    ++count;
    if (count > size) {
        std::cerr << "Number of vertices exceeds size of " << size
                  << " in HashTable::id_of !" << std::endl
                  << "Exiting...." << std::endl;
        end_program(-1);
    }
    HashNode* node = new (std::nothrow) HashNode{buckets[bucket], count};
    HashEntry* entry = new (std::nothrow) HashEntry{static_cast<int32_t>(bucket), nullptr};
    if (node == nullptr || entry == nullptr)
        report_out_of_space();
    entry->name = copy_name(name);
    buckets[bucket] = node;
    entries[count - 1] = entry;
    return count;
}

// Walks the name's chain and returns the first matching id, or 0.
int HashTable::find_id(const char* name) const
{
    for (const HashNode* node = buckets[hash_of(name)]; node != nullptr; node = node->next) {
        if (names_equal(name, entries[node->id - 1]->name))
            return node->id;
    }
    return 0;
}

// Compares two names byte by byte, terminating zero included.
int HashTable::names_equal(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (*a != *b)
            return 0;
        if (*a == '\0')
            return 1;
    }
}

// Copies the name to the heap; ends the process with status 0 if it cannot.
char* HashTable::copy_name(const char* name)
{
    const size_t length = std::strlen(name);
    char* copy = new (std::nothrow) char[length + 1];
    if (copy == nullptr) {
        std::cerr << "Cannot find space for `" << name << "'" << std::endl;
        end_program(0);
    }
    std::memcpy(copy, name, length + 1);
    return copy;
}
