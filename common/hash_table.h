// hash_table.h -- names to ids 1, 2, 3 ... in order of first insertion.
#pragma once

#include <cstdint>

struct HashNode {
    HashNode* next;  // next node of the same bucket, null at the end
    int32_t id;      // the name's id, 1-based
};

struct HashEntry {
    int32_t bucket;  // bucket the name hashed to when added
    char* name;      // the table's own copy of the name
};

// A grow-only chained hash table: names are never removed; everything it
// allocated is released when the table is destroyed.
class HashTable {
public:
    explicit HashTable(int size);
    // Releases the chains, the entries with their names, and both arrays.
    ~HashTable();
    // The table owns its nodes and names, so it is neither copied nor assigned.
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    // Bucket index of a name, 0 to size - 1.
    uint32_t hash_of(const char* name) const;
    // The name's id, adding the name first if it is absent.
    int id_of(const char* name);
    // The name's id, or 0 when it was never added.
    int find_id(const char* name) const;
    // 1 when the two names are equal byte for byte, else 0.
    static int names_equal(const char* a, const char* b);
    // A new heap copy of the name, terminating zero included.
    static char* copy_name(const char* name);

    int32_t size;        // number of buckets and the most names accepted
    int32_t count;       // names stored, also the last id handed out
    HashNode** buckets;  // head of each bucket's chain
    HashEntry** entries; // entry of the name with id k at index k - 1
};
